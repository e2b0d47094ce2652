#include "Meter.h"

#include <RecordFrames.h>
#include <codepage.h>
#include <cstdio>

namespace vorlek::meter {
namespace {

enum : std::size_t { kCommandAt = 1, kAddressAt = 2, kPayloadAt = 4 };

std::uint16_t Word(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

bool AddressFits(std::uint16_t address) {
    return address >= kMemoryFirst && address % kRecordUnits == 0 &&
           address + kRecordUnits <= kMemoryEnd;
}

std::string DecodeName(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = FromDeviceChar(bytes[i]);
        text += static_cast<char>(b < 0x20 ? '.' : b);
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return Windows1254ToUtf8(text);
}

} // namespace

Ack BuildAck(std::uint16_t address, std::uint8_t command) {
    const auto hi = static_cast<std::uint8_t>(address >> 8);
    const auto lo = static_cast<std::uint8_t>(address);
    return {kStartByte, command, hi, lo, static_cast<std::uint8_t>(command ^ hi ^ lo)};
}

Meter::Meter() {
    memory_.fill(kErased);
}

int Meter::SlotsHeld() const {
    int n = 0;
    for (bool h : held_)
        n += h ? 1 : 0;
    return n;
}

Meter::Candidate Meter::Examine() const {
    const std::size_t n = buffer_.size();
    if (buffer_[0] != kStartByte)
        return Candidate::Skip;
    if (n > kCommandAt && buffer_[kCommandAt] != kRecordCommand)
        return Candidate::Bad;
    if (n >= kPayloadAt && !AddressFits(Word(&buffer_[kAddressAt])))
        return Candidate::Bad;
    if (n < kFrameSize)
        return Candidate::Incomplete;
    if (CheckByte(&buffer_[1], kFrameSize - 2) != buffer_[kFrameSize - 1])
        return Candidate::Bad;
    return Candidate::Good;
}

std::vector<std::uint16_t> Meter::Receive(const std::uint8_t* data, std::size_t count) {
    std::vector<std::uint16_t> stored;
    buffer_.insert(buffer_.end(), data, data + count);
    while (!buffer_.empty()) {
        const Candidate c = Examine();
        if (c == Candidate::Incomplete)
            break;
        if (c == Candidate::Good) {
            const std::uint16_t address = Word(&buffer_[kAddressAt]);
            const std::size_t offset = address - kMemoryFirst;
            for (std::size_t i = 0; i < kRecordUnits; ++i)
                memory_[offset + i] = buffer_[kPayloadAt + i];
            held_[offset / kRecordUnits] = true;
            ++recordsStored_;
            stored.push_back(address);
            buffer_.erase(buffer_.begin(), buffer_.begin() + kFrameSize);
            continue;
        }
        if (c == Candidate::Bad)
            ++badFrames_;
        buffer_.erase(buffer_.begin());
    }
    return stored;
}

std::vector<std::string> Listing(const Meter& meter) {
    std::vector<std::string> lines;
    const auto& mem = meter.Memory();
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (!meter.Holds(slot))
            continue;
        const std::uint8_t* rec = &mem[slot * kRecordUnits];
        char head[96];
        if (slot < static_cast<std::size_t>(kSatSlots)) {
            std::snprintf(head, sizeof head, "sat %2zu  ", slot);
            lines.push_back(std::string(head) + '"' + DecodeName(rec, kSatNameSize) + '"');
            continue;
        }
        const std::size_t t = slot - kSatSlots;
        const std::uint16_t word = Word(rec);
        std::snprintf(head, sizeof head, "tp %3zu (sat %2zu #%zu)  %5u MHz  pol %u  %5u kS/s  ", t,
                      t / 8 + 1, t % 8 + 1, static_cast<unsigned>(word & 0x7FFF),
                      static_cast<unsigned>(word >> 15), static_cast<unsigned>(Word(rec + 2)));
        lines.push_back(std::string(head) + '"' + DecodeName(rec + 4, kTPNameSize) + '"');
    }
    return lines;
}

std::vector<std::uint8_t> AckPlanner::Noise() {
    // Never a start byte, so no candidate the program examines can begin
    // inside the noise: it cannot fake a request, only cost skipped bytes.
    std::vector<std::uint8_t> bytes;
    noiseState_ = noiseState_ * 1103515245u + 12345u;
    const std::size_t length = 1 + (noiseState_ >> 16) % 7;
    while (bytes.size() < length) {
        noiseState_ = noiseState_ * 1103515245u + 12345u;
        const auto b = static_cast<std::uint8_t>(noiseState_ >> 16);
        if (b != kStartByte)
            bytes.push_back(b);
    }
    return bytes;
}

std::vector<Write> AckPlanner::Plan(std::uint16_t address) {
    ++owed_;
    const auto turn = [this](int every) { return every > 0 && owed_ % every == 0; };
    if (turn(faults_.dropEvery) || owed_ == faults_.dropOnce) {
        ++dropped_;
        return {};
    }
    std::vector<Write> writes;
    std::vector<std::uint8_t> lead =
        turn(faults_.noiseEvery) ? Noise() : std::vector<std::uint8_t>{};
    const int copies = turn(faults_.repeatEvery) ? 2 : 1;
    const Ack ack = BuildAck(address, faults_.command);
    for (int i = 0; i < copies; ++i) {
        std::vector<std::uint8_t> first = lead;
        lead.clear();
        const std::size_t cut = faults_.split ? kSplitAt : kAckSize;
        first.insert(first.end(), ack.begin(), ack.begin() + cut);
        writes.push_back({0, std::move(first)});
        if (cut < kAckSize)
            writes.push_back({kSplitPauseMs, {ack.begin() + cut, ack.end()}});
        ++sent_;
    }
    return writes;
}

} // namespace vorlek::meter
