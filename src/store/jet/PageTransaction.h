// The pages one update writes: staged, then written in phases with a flush after each, and
// put back as they were when anything fails.
#pragma once

#include "Database.h"
#include "PageFile.h"

#include <algorithm>
#include <vector>

namespace vorlek::jet {

// Pages written in order, with what they held before, so that a failure can be undone.
class PageTransaction {
public:
    // Phases are written one after the other, each flushed before the next starts.
    enum Phase { kNewCopies = 0, kCommitPoint = 1, kCleanUp = 2 };

    explicit PageTransaction(PageFile& file) : file_(file), size_(file.Size()) {}

    // A page past the end of the file, for this transaction to fill.
    std::uint32_t NewPage() {
        const std::uint64_t page = size_ / kPageSize + added_;
        if (page >= 0xFFFFFF)
            throw JetError("Database is full.");
        ++added_;
        return static_cast<std::uint32_t>(page);
    }

    // The page as it will be once the staged changes are written.
    Bytes Current(std::uint32_t page) const {
        for (const auto& s : staged_)
            if (s.page == page)
                return s.bytes;
        return file_.Read(page);
    }

    void Stage(std::uint32_t page, Bytes bytes, Phase phase = kNewCopies) {
        for (auto& s : staged_)
            if (s.page == page) {
                s.bytes = std::move(bytes);
                s.phase = std::max(s.phase, phase);
                return;
            }
        staged_.push_back({page, std::move(bytes), phase});
    }

    // New copies first, then the page that makes the change visible, then what the change
    // leaves behind: an interruption at any point leaves every row readable.
    void Commit() {
        try {
            for (Phase phase : {kNewCopies, kCommitPoint, kCleanUp}) {
                bool any = false;
                for (const auto& s : staged_)
                    if (s.phase == phase) {
                        Put(s.page, s.bytes);
                        any = true;
                    }
                if (any)
                    file_.Sync();
            }
        } catch (...) {
            Undo();
            throw;
        }
    }

private:
    void Put(std::uint32_t page, const Bytes& bytes) {
        if (static_cast<std::uint64_t>(page) * kPageSize < size_)
            before_.emplace_back(page, file_.ReadRaw(page));
        file_.Write(page, bytes);
    }
    void Undo() noexcept {
        try {
            for (auto it = before_.rbegin(); it != before_.rend(); ++it)
                file_.WriteRaw(it->first, it->second);
            if (file_.Size() != size_)
                file_.Truncate(size_);
            file_.Sync();
        } catch (...) {
        }
    }

    PageFile& file_;
    std::uint64_t size_;
    std::uint32_t added_ = 0;
    struct Staged {
        std::uint32_t page;
        Bytes bytes;
        Phase phase;
    };
    std::vector<Staged> staged_;
    std::vector<std::pair<std::uint32_t, Bytes>> before_;
};

} // namespace vorlek::jet
