#include "PageFile.h"

#include "Database.h"
#include "Messages.h"
#include "Rc4.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlek::jet {

namespace {

std::string Absolute(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

void WriteAll(int fd, const Bytes& bytes, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw JetError("Disk or network error.");
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

PageFile::PageFile(const std::string& path) : path_(Absolute(path)) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        readOnly_ = true;
    }
    if (fd_ < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw JetError(msg::NotFound(path_));
        throw JetError(msg::CannotOpen(path_));
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw JetError(msg::CannotOpen(path_));
    }
}

PageFile PageFile::Create(const std::string& path) {
    PageFile f;
    f.path_ = Absolute(path);
    f.fd_ = ::open(f.path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (f.fd_ < 0) {
        if (errno == EEXIST)
            throw JetError(msg::FileExists(f.path_));
        if (errno == ENOENT || errno == ENOTDIR)
            throw JetError(msg::NotFound(f.path_));
        throw JetError(msg::CannotOpen(f.path_));
    }
    return f;
}

PageFile::PageFile(PageFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_), readOnly_(other.readOnly_),
      dbKey_(other.dbKey_) {
    other.fd_ = -1;
}

PageFile::~PageFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::uint64_t PageFile::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw JetError("Disk or network error.");
    return static_cast<std::uint64_t>(st.st_size);
}

Bytes PageFile::ReadRaw(std::uint32_t page) const {
    Bytes bytes(kPageSize);
    std::size_t done = 0;
    const std::uint64_t offset = static_cast<std::uint64_t>(page) * kPageSize;
    while (done < kPageSize) {
        ssize_t n =
            ::pread(fd_, bytes.data() + done, kPageSize - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw JetError("Disk or network error.");
        if (n == 0)
            Damaged(); // past the end: a truncated file or a wild page number
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

void PageFile::Crypt(std::uint32_t page, Bytes& bytes) const {
    if (dbKey_ == 0 || page == 0)
        return;
    const std::uint32_t k = dbKey_ ^ page;
    const std::uint8_t key[4] = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8),
                                 static_cast<std::uint8_t>(k >> 16),
                                 static_cast<std::uint8_t>(k >> 24)};
    Rc4Apply(key, bytes);
}

Bytes PageFile::Read(std::uint32_t page) const {
    Bytes bytes = ReadRaw(page);
    Crypt(page, bytes);
    return bytes;
}

void PageFile::Write(std::uint32_t page, const Bytes& plain) {
    Bytes bytes = plain;
    Crypt(page, bytes);
    WriteRaw(page, bytes);
}

void PageFile::WriteRaw(std::uint32_t page, const Bytes& bytes) {
    if (readOnly_)
        throw JetError(msg::kReadOnly);
    Need(bytes.size() == kPageSize);
    WriteAll(fd_, bytes, static_cast<std::uint64_t>(page) * kPageSize);
}

void PageFile::Sync() {
    if (::fdatasync(fd_) != 0)
        throw JetError("Disk or network error.");
}

void PageFile::Truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw JetError("Disk or network error.");
}

} // namespace vorlek::jet
