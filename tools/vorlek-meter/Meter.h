#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A stand-in for the satellite finder meter: it stores the 21-byte record
// frames it receives and acknowledges each stored one by its address.
// Free of I/O, so tests can drive it in-process.
namespace vorlek::meter {

inline constexpr std::uint16_t kMemoryFirst = 0x0800;
inline constexpr std::uint16_t kMemoryEnd = 0x1A00; // one past the last address
inline constexpr std::size_t kMemorySize = kMemoryEnd - kMemoryFirst;
inline constexpr std::size_t kRecordUnits = 16;
inline constexpr std::size_t kSlotCount = kMemorySize / kRecordUnits; // 32 satellites + 256 TPs
inline constexpr std::uint8_t kErased = 0xFF;

inline constexpr std::size_t kAckSize = 5;
using Ack = std::array<std::uint8_t, kAckSize>;
inline constexpr std::uint8_t kAckCommand = 0x21;
inline constexpr std::uint8_t kAckCommandOld = 0x11;

Ack BuildAck(std::uint16_t address, std::uint8_t command = kAckCommand);

class Meter {
public:
    Meter();

    // Takes bytes off the line and returns the address of every record stored
    // from them, in order. A candidate frame that fails (command, address,
    // check byte) costs one byte, so the parser finds the next real start.
    std::vector<std::uint16_t> Receive(const std::uint8_t* data, std::size_t count);

    const std::array<std::uint8_t, kMemorySize>& Memory() const { return memory_; }
    bool Holds(std::size_t slot) const { return slot < kSlotCount && held_[slot]; }
    int SlotsHeld() const;
    int RecordsStored() const { return recordsStored_; } // rewrites of a slot included
    int BadFrames() const { return badFrames_; }
    std::size_t Pending() const { return buffer_.size(); }

private:
    enum class Candidate { Skip, Incomplete, Bad, Good };
    Candidate Examine() const;

    std::array<std::uint8_t, kMemorySize> memory_;
    std::array<bool, kSlotCount> held_{};
    std::vector<std::uint8_t> buffer_;
    int recordsStored_ = 0;
    int badFrames_ = 0;
};

// One line per held slot: satellites with their name, transponders with name,
// frequency, polarisation flag and symbol rate. Names in UTF-8.
std::vector<std::string> Listing(const Meter& meter);

// The faults the meter can be told to commit, each counted over the
// acknowledgements it owes (every Nth; 0 = never).
struct Faults {
    int dropEvery = 0;
    int dropOnce = 0; // only this one acknowledgement is lost
    int repeatEvery = 0;
    int noiseEvery = 0;
    bool split = false;
    std::uint8_t command = kAckCommand;
};

// A piece of output and the pause before it goes out.
struct Write {
    int pauseMs = 0;
    std::vector<std::uint8_t> bytes;
};

inline constexpr int kSplitPauseMs = 60; // longer than the program's 50 ms poll
inline constexpr std::size_t kSplitAt = 2;

class AckPlanner {
public:
    explicit AckPlanner(const Faults& faults) : faults_(faults) {}
    // The writes that answer one stored record (none when it is dropped).
    std::vector<Write> Plan(std::uint16_t address);
    int Sent() const { return sent_; }
    int Dropped() const { return dropped_; }

private:
    std::vector<std::uint8_t> Noise();

    Faults faults_;
    int owed_ = 0;
    int sent_ = 0;
    int dropped_ = 0;
    std::uint32_t noiseState_ = 0x2545F491u;
};

} // namespace vorlek::meter
