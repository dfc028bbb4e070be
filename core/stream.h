#pragma once
// Byte streams: a disk file and a growable memory file. Errors are results, never exceptions.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/core_error.h"

namespace scrivet {

class Stream {
 public:
  virtual ~Stream() = default;

  // Reads up to n bytes at the current position; returns the number read (short at the end or on error).
  virtual size_t Read(void* buffer, size_t n) = 0;
  virtual bool Write(const void* buffer, size_t n) = 0;
  virtual bool Seek(uint64_t position) = 0;
  virtual uint64_t Position() const = 0;
  virtual uint64_t Length() const = 0;
  virtual bool Truncate(uint64_t length) = 0;
  virtual bool Flush() { return true; }
  virtual bool IsMemory() const = 0;
  // Changes whenever another program rewrites the file (0 for memory streams).
  virtual int64_t ModificationTime() const { return 0; }
  // A second, independent handle on the same bytes (a new open of the same file for disk streams).
  virtual std::unique_ptr<Stream> Duplicate() const = 0;

  // Reads exactly n bytes or fails (position is then unspecified).
  bool ReadExact(void* buffer, size_t n) { return Read(buffer, n) == n; }
  bool SeekToEnd() { return Seek(Length()); }
};

class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemoryStream(const void* data, size_t n);

  size_t Read(void* buffer, size_t n) override;
  bool Write(const void* buffer, size_t n) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  uint64_t Length() const override { return bytes_.size(); }
  bool Truncate(uint64_t length) override;
  bool IsMemory() const override { return true; }
  std::unique_ptr<Stream> Duplicate() const override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { position_ = 0; return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t position_ = 0;
};

class FileStream final : public Stream {
 public:
  enum class Mode { Read, ReadWrite, CreateTruncate };

  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Returns null (System, with the reason) when the file cannot be opened.
  static std::unique_ptr<FileStream> Open(const std::filesystem::path& path, Mode mode,
                                          CoreFailure* failure = nullptr);

  size_t Read(void* buffer, size_t n) override;
  bool Write(const void* buffer, size_t n) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  uint64_t Length() const override;
  bool Truncate(uint64_t length) override;
  bool Flush() override;
  bool IsMemory() const override { return false; }
  int64_t ModificationTime() const override;
  std::unique_ptr<Stream> Duplicate() const override;

  const std::filesystem::path& Path() const { return path_; }
  bool Close();

 private:
  FileStream(int fd, std::filesystem::path path, Mode mode) : fd_(fd), path_(std::move(path)), mode_(mode) {}
  size_t RawRead(uint64_t offset, void* buffer, size_t n);

  int fd_ = -1;
  std::filesystem::path path_;
  Mode mode_;
  uint64_t position_ = 0;
  // Small read-ahead window: directory reads touch many 76-byte headers.
  std::vector<uint8_t> window_;
  uint64_t windowStart_ = 0;
  size_t windowSize_ = 0;
};

// Reads a whole file into memory; fails with System (and the reason), OutOfMemory or ShortRead.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes,
                   CoreFailure* failure = nullptr);

// Writes through a temporary file in the target's folder that replaces the target only when
// the writer succeeded and the bytes reached the disk; on failure the old file is untouched.
// A symbolic link is followed to the file it names, which is replaced; the link stays.
// Fails with WriteFailed when the writer fails, else with System and the reason.
template <typename Writer>
bool SaveFileAtomically(const std::filesystem::path& target, Writer&& writer, CoreFailure* failure);

namespace detail {
// The path a save replaces: `target` with symbolic links followed to the end of their chain.
bool ResolveSaveTarget(const std::filesystem::path& target, std::filesystem::path& resolved, CoreFailure* failure);
std::unique_ptr<FileStream> CreateTempBeside(const std::filesystem::path& target,
                                             std::filesystem::path& tempPath, CoreFailure* failure);
bool CommitTemp(std::unique_ptr<FileStream> stream, const std::filesystem::path& tempPath,
                const std::filesystem::path& target, CoreFailure* failure);
void DiscardTemp(std::unique_ptr<FileStream> stream, const std::filesystem::path& tempPath);
}  // namespace detail

template <typename Writer>
bool SaveFileAtomically(const std::filesystem::path& target, Writer&& writer, CoreFailure* failure) {
  std::filesystem::path resolved, tempPath;
  if (!detail::ResolveSaveTarget(target, resolved, failure)) return false;
  std::unique_ptr<FileStream> stream = detail::CreateTempBeside(resolved, tempPath, failure);
  if (!stream) return false;
  if (!writer(static_cast<Stream&>(*stream))) {
    detail::DiscardTemp(std::move(stream), tempPath);
    return ReportFailure(failure, CoreError::WriteFailed);
  }
  return detail::CommitTemp(std::move(stream), tempPath, resolved, failure);
}

}  // namespace scrivet
