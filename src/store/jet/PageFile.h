// The database file as numbered 4096-byte pages, decrypted on read and encrypted on write.
// Opened without any lock: other programs may change the file between our calls.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <string>

namespace vorlek::jet {

inline constexpr std::size_t kPageSize = 4096;

class PageFile {
public:
    // `path` is made absolute for the messages. Throws JetError (missing, unopenable).
    explicit PageFile(const std::string& path);
    // Creates a new file; fails when it exists.
    static PageFile Create(const std::string& path);
    ~PageFile();
    PageFile(PageFile&& other) noexcept;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    PageFile& operator=(PageFile&&) = delete;

    const std::string& Path() const { return path_; }
    bool ReadOnly() const { return readOnly_; }
    // Pages > 0 are RC4-encrypted with a key derived from this and the page number, when non-zero.
    void SetDatabaseKey(std::uint32_t key) { dbKey_ = key; }

    std::uint64_t Size() const;
    std::uint32_t PageCount() const { return static_cast<std::uint32_t>(Size() / kPageSize); }
    // Throws FormatError for a page beyond the end of the file.
    Bytes Read(std::uint32_t page) const;
    // Page 0 without decryption of its header (the header has its own).
    Bytes ReadRaw(std::uint32_t page) const;
    void Write(std::uint32_t page, const Bytes& plain);
    void WriteRaw(std::uint32_t page, const Bytes& bytes);
    void Sync();
    void Truncate(std::uint64_t size);

private:
    PageFile() = default;
    void Crypt(std::uint32_t page, Bytes& bytes) const;
    std::string path_;
    int fd_ = -1;
    bool readOnly_ = false;
    std::uint32_t dbKey_ = 0;
};

} // namespace vorlek::jet
