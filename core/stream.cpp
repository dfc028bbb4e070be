#include "core/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#define SCRIVET_O_BINARY _O_BINARY
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define SCRIVET_O_BINARY 0
#endif

namespace scrivet {

// ---------------------------------------------------------------- MemoryStream

MemoryStream::MemoryStream(const void* data, size_t n)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n) {}

size_t MemoryStream::Read(void* buffer, size_t n) {
  if (position_ >= bytes_.size()) return 0;
  size_t count = std::min<uint64_t>(n, bytes_.size() - position_);
  if (count) std::memcpy(buffer, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

bool MemoryStream::Write(const void* buffer, size_t n) {
  if (n == 0) return true;
  uint64_t end = position_ + n;
  if (end > bytes_.max_size()) return false;
  if (end > bytes_.size()) {
    if (end > bytes_.capacity()) {
      // Memory files grow in 1024-byte steps (at least doubling, so large writes stay linear).
      uint64_t want = std::max<uint64_t>((end + 1023) & ~uint64_t(1023), bytes_.capacity() * 2);
      try {
        bytes_.reserve(want);
      } catch (...) {
        return false;
      }
    }
    bytes_.resize(end);
  }
  std::memcpy(bytes_.data() + position_, buffer, n);
  position_ = end;
  return true;
}

bool MemoryStream::Seek(uint64_t position) {
  // Seeking past the end is allowed, as for files; a later write fills the gap with zeros.
  // Nothing is allocated here: an untrusted offset must not grow the stream.
  if (position > bytes_.max_size()) return false;
  position_ = position;
  return true;
}

bool MemoryStream::Truncate(uint64_t length) {
  try {
    bytes_.resize(length);
  } catch (...) {
    return false;
  }
  if (position_ > length) position_ = length;
  return true;
}

std::unique_ptr<Stream> MemoryStream::Duplicate() const {
  auto copy = std::make_unique<MemoryStream>(bytes_);
  copy->position_ = position_;
  return copy;
}

// ---------------------------------------------------------------- FileStream

namespace {

bool ReportSystem(CoreFailure* failure, int err) {
  return ReportFailure(failure, CoreError::System, std::generic_category().message(err));
}

int OpenFd(const std::filesystem::path& path, int flags) {
#ifdef _WIN32
  return _wopen(path.c_str(), flags | SCRIVET_O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), flags | O_CLOEXEC, 0666);
#endif
}

int FlagsFor(FileStream::Mode mode) {
  switch (mode) {
    case FileStream::Mode::Read: return O_RDONLY;
    case FileStream::Mode::ReadWrite: return O_RDWR;
    case FileStream::Mode::CreateTruncate: return O_RDWR | O_CREAT | O_TRUNC;
  }
  return O_RDONLY;
}

constexpr size_t kWindowSize = 4096;

}  // namespace

FileStream::~FileStream() { Close(); }

std::unique_ptr<FileStream> FileStream::Open(const std::filesystem::path& path, Mode mode,
                                             CoreFailure* failure) {
  int fd = OpenFd(path, FlagsFor(mode));
  if (fd < 0) {
    ReportSystem(failure, errno);
    return nullptr;
  }
#ifndef _WIN32
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    ReportSystem(failure, EISDIR);
    return nullptr;
  }
#endif
  return std::unique_ptr<FileStream>(new FileStream(fd, path, mode));
}

bool FileStream::Close() {
  if (fd_ < 0) return true;
#ifdef _WIN32
  int rc = _close(fd_);
#else
  int rc = ::close(fd_);
#endif
  fd_ = -1;
  windowSize_ = 0;
  return rc == 0;
}

size_t FileStream::RawRead(uint64_t offset, void* buffer, size_t n) {
  size_t total = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (total < n) {
#ifdef _WIN32
    if (_lseeki64(fd_, int64_t(offset + total), SEEK_SET) < 0) break;
    unsigned chunk = unsigned(std::min<size_t>(n - total, 1u << 30));
    int got = _read(fd_, out + total, chunk);
#else
    ssize_t got = ::pread(fd_, out + total, std::min<size_t>(n - total, size_t(1) << 30),
                          off_t(offset + total));
#endif
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (got == 0) break;
    total += size_t(got);
  }
  return total;
}

size_t FileStream::Read(void* buffer, size_t n) {
  if (fd_ < 0 || n == 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  // Serve from the read-ahead window where possible.
  if (windowSize_ && position_ >= windowStart_ && position_ < windowStart_ + windowSize_) {
    size_t at = size_t(position_ - windowStart_);
    size_t take = std::min(n, windowSize_ - at);
    std::memcpy(out, window_.data() + at, take);
    done = take;
    position_ += take;
  }
  if (done == n) return n;
  size_t rest = n - done;
  if (rest >= kWindowSize) {
    size_t got = RawRead(position_, out + done, rest);
    position_ += got;
    return done + got;
  }
  if (window_.size() < kWindowSize) window_.resize(kWindowSize);
  windowStart_ = position_;
  windowSize_ = RawRead(position_, window_.data(), kWindowSize);
  size_t take = std::min(rest, windowSize_);
  std::memcpy(out + done, window_.data(), take);
  position_ += take;
  return done + take;
}

bool FileStream::Write(const void* buffer, size_t n) {
  if (fd_ < 0 || mode_ == Mode::Read) return false;
  windowSize_ = 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t total = 0;
  while (total < n) {
#ifdef _WIN32
    if (_lseeki64(fd_, int64_t(position_ + total), SEEK_SET) < 0) return false;
    int put = _write(fd_, in + total, unsigned(std::min<size_t>(n - total, 1u << 30)));
#else
    ssize_t put = ::pwrite(fd_, in + total, std::min<size_t>(n - total, size_t(1) << 30),
                           off_t(position_ + total));
#endif
    if (put < 0) {
      if (errno == EINTR) continue;
      position_ += total;
      return false;
    }
    if (put == 0) {
      position_ += total;
      return false;
    }
    total += size_t(put);
  }
  position_ += total;
  return true;
}

bool FileStream::Seek(uint64_t position) {
  if (fd_ < 0) return false;
  position_ = position;
  return true;
}

uint64_t FileStream::Length() const {
  if (fd_ < 0) return 0;
#ifdef _WIN32
  struct _stat64 st;
  if (_fstat64(fd_, &st) != 0) return 0;
#else
  struct stat st;
  if (::fstat(fd_, &st) != 0) return 0;
#endif
  return uint64_t(st.st_size);
}

int64_t FileStream::ModificationTime() const {
  if (fd_ < 0) return 0;
#ifdef _WIN32
  struct _stat64 st;
  if (_fstat64(fd_, &st) != 0) return 0;
  return int64_t(st.st_mtime) * 1000000000;
#else
  struct stat st;
  if (::fstat(fd_, &st) != 0) return 0;
  return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
}

bool FileStream::Truncate(uint64_t length) {
  if (fd_ < 0 || mode_ == Mode::Read) return false;
  windowSize_ = 0;
#ifdef _WIN32
  if (_chsize_s(fd_, int64_t(length)) != 0) return false;
#else
  if (::ftruncate(fd_, off_t(length)) != 0) return false;
#endif
  if (position_ > length) position_ = length;
  return true;
}

bool FileStream::Flush() {
  if (fd_ < 0) return false;
  if (mode_ == Mode::Read) return true;
#ifdef _WIN32
  return _commit(fd_) == 0;
#else
  return ::fsync(fd_) == 0;
#endif
}

std::unique_ptr<Stream> FileStream::Duplicate() const {
  if (fd_ < 0) return nullptr;
#ifdef _WIN32
  // Reopen by name; the container only needs to read through its duplicate.
  auto copy = Open(path_, mode_ == Mode::Read ? Mode::Read : Mode::ReadWrite);
  if (!copy) return nullptr;
#else
  // dup() shares the open file description, so it sees the same file even if the name is replaced.
  int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  std::unique_ptr<FileStream> copy(new FileStream(fd, path_, mode_));
#endif
  copy->position_ = position_;
  return copy;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, CoreFailure* failure) {
  auto stream = FileStream::Open(path, FileStream::Mode::Read, failure);
  if (!stream) return false;
  uint64_t length = stream->Length();
  try {
    bytes.resize(size_t(length));
  } catch (...) {
    return ReportFailure(failure, CoreError::OutOfMemory);
  }
  if (!stream->ReadExact(bytes.data(), bytes.size())) return ReportFailure(failure, CoreError::ShortRead);
  return true;
}

// ---------------------------------------------------------------- atomic save

namespace detail {

bool ResolveSaveTarget(const std::filesystem::path& target, std::filesystem::path& resolved, CoreFailure* failure) {
  // Renaming over a link would replace the link itself and leave the file it names unchanged.
  constexpr int kMaxLinks = 40;
  resolved = target;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {  // the last pass only checks that no link is left
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(resolved, ec))) return true;
    std::filesystem::path next = std::filesystem::read_symlink(resolved, ec);
    if (ec) return ReportFailure(failure, CoreError::System, ec.message());
    // A relative link is relative to the folder the link is in.
    resolved = next.is_absolute() ? next : resolved.parent_path() / next;
  }
  return ReportSystem(failure, ELOOP);
}

std::unique_ptr<FileStream> CreateTempBeside(const std::filesystem::path& target,
                                             std::filesystem::path& tempPath, CoreFailure* failure) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::random_device rd;
  for (int attempt = 0; attempt < 16; ++attempt) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string at -O3.
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(rd() % 1000000000u);
    name += ".tmp";
    tempPath = folder / name;
    int fd = OpenFd(tempPath, O_RDWR | O_CREAT | O_EXCL);
    if (fd >= 0) {
#ifdef _WIN32
      _close(fd);
#else
      ::close(fd);
#endif
      auto stream = FileStream::Open(tempPath, FileStream::Mode::ReadWrite, failure);
      if (!stream) {
        std::error_code ec;
        std::filesystem::remove(tempPath, ec);
      }
      return stream;
    }
    if (errno != EEXIST) {
      ReportSystem(failure, errno);
      return nullptr;
    }
  }
  ReportSystem(failure, EEXIST);
  return nullptr;
}

void DiscardTemp(std::unique_ptr<FileStream> stream, const std::filesystem::path& tempPath) {
  stream.reset();
  std::error_code ec;
  std::filesystem::remove(tempPath, ec);
}

bool CommitTemp(std::unique_ptr<FileStream> stream, const std::filesystem::path& tempPath,
                const std::filesystem::path& target, CoreFailure* failure) {
  if (!stream->Flush() || !stream->Close()) {
    ReportSystem(failure, errno);
    DiscardTemp(std::move(stream), tempPath);
    return false;
  }
  stream.reset();
  std::error_code ec;
  // Keep the permissions of the file being replaced.
  auto status = std::filesystem::status(target, ec);
  if (!ec && std::filesystem::exists(status))
    std::filesystem::permissions(tempPath, status.permissions(), ec);
  ec.clear();
  std::filesystem::rename(tempPath, target, ec);
  if (ec) {
    ReportFailure(failure, CoreError::System, ec.message());
    std::filesystem::remove(tempPath, ec);
    return false;
  }
  return true;
}

}  // namespace detail

}  // namespace scrivet
