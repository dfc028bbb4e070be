#pragma once
// CARR: a career, its name and its jobs (levels). Fixed-width and field-encoded layouts are
// read; the field-encoded one is always written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct Job {
  static constexpr size_t kNumberCount = 21;
  static constexpr size_t kTextCount = 5;

  int32_t friends = 0;
  int32_t cooking = 0;
  int32_t mechanical = 0;
  int32_t charisma = 0;
  int32_t body = 0;
  int32_t logic = 0;
  int32_t creativity = 0;
  int32_t extra7 = 0;
  int32_t extra8 = 0;
  int32_t extra9 = 0;
  int32_t hungerChange = 0;
  int32_t comfortChange = 0;
  int32_t hygieneChange = 0;
  int32_t bladderChange = 0;
  int32_t energyChange = 0;
  int32_t funChange = 0;
  int32_t socialChange = 0;
  int32_t salary = 0;
  int32_t startHour = 0;
  int32_t endHour = 0;
  int32_t extra20 = 0;
  std::string jobName = "New job";
  std::string maleSkin;
  std::string femaleSkin;
  std::string texture;
  std::string accessory;

  // The numbers and texts in their stored order.
  std::array<int32_t*, kNumberCount> Numbers();
  std::array<const int32_t*, kNumberCount> Numbers() const;
  std::array<std::string*, kTextCount> Texts();
  std::array<const std::string*, kTextCount> Texts() const;

  bool operator==(const Job&) const = default;
};

// Field names of the 21 numbers and five texts, in stored order.
extern const std::array<const char*, Job::kNumberCount> kJobNumberNames;
extern const std::array<const char*, Job::kTextCount> kJobTextNames;

class ResourceCarr : public ResourceOf<ResourceCarr> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("CARR");
  static constexpr uint32_t kMagic = 0x43415252;  // the bytes "RRAC"

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  void AddJob() { jobs.emplace_back(); }
  bool RemoveJob(size_t index);

  bool ModelEquals(const ResourceCarr& other) const {
    return careerName == other.careerName && jobs == other.jobs;
  }

  std::string careerName;
  std::vector<Job> jobs;
};

}  // namespace scrivet
