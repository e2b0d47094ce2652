#pragma once

#include <cstdint>
#include <string>

// The upload is driven by the meter: each acknowledged address names the
// record it has just stored, and is answered with the record after it.
namespace vorlek {

enum class UploadAction { SendSatellite, SendTransponder, Finish, Ignore };

struct UploadStep {
    UploadAction action = UploadAction::Ignore;
    std::int32_t slot = 0;     // for the two sends
    std::int32_t progress = 0; // overall index of the acknowledged record, for the two sends
};

inline constexpr std::uint16_t kFirstTPAck = 0x09F0; // the last satellite's address
inline constexpr std::uint16_t kFinishAck = 0x19F0;  // the last transponder's address
inline constexpr std::uint16_t kIgnoredFromAck = 0x1DF0;

UploadStep DispatchCode(std::uint16_t code);

inline constexpr int kProgressMax = 287;
int ClampProgress(int position);
// "n %": the clamped position as a rounded percentage of kProgressMax, at most 100.
std::string ProgressText(int position);

} // namespace vorlek
