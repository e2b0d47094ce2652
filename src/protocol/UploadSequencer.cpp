#include "UploadSequencer.h"

#include "RecordFrames.h"

#include <algorithm>

namespace vorlek {

UploadStep DispatchCode(std::uint16_t code) {
    const int c = code;
    if (c < kFirstTPAck) {
        const int k = (c - kSatBase) / kSlotStride; // truncates toward zero, as the meter expects
        return {UploadAction::SendSatellite, k + 1, k};
    }
    if (c < kFinishAck) {
        const int k = (c - kTPBase) / kSlotStride;
        return {UploadAction::SendTransponder, k + 1, k + kSatSlots};
    }
    if (c < kIgnoredFromAck)
        return {UploadAction::Finish, 0, 0};
    return {};
}

int ClampProgress(int position) {
    return std::clamp(position, 0, kProgressMax);
}

std::string ProgressText(int position) {
    const int p = ClampProgress(position);
    const int percent = std::min(100, (p * 200 + kProgressMax) / (2 * kProgressMax));
    return std::to_string(percent) + " %";
}

} // namespace vorlek
