#include "platform/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/Errors.h"

namespace animora {

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EStreamError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count <= 0)
        count = source.Size() - source.Position();
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
    int64_t left = count;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

static size_t ClampedSeek(int64_t offset, SeekOrigin origin, size_t position, size_t size)
{
    int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<int64_t>(position);
    else if (origin == SeekOrigin::End)
        base = static_cast<int64_t>(size);
    return static_cast<size_t>(std::max<int64_t>(0, base + offset));
}

// --- TMemoryStream ---------------------------------------------------------

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : data_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (position_ >= data_.size())
        return 0;
    const size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return 0;
    if (position_ + count > data_.size())
        data_.resize(position_ + count);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin)
{
    position_ = ClampedSeek(offset, origin, position_, data_.size());
    return static_cast<int64_t>(position_);
}

void TMemoryStream::SetSize(size_t size)
{
    data_.resize(size);
    position_ = std::min(position_, size);
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, FileMode::OpenRead);
    const int64_t size = file.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.ReadBuffer(bytes.data(), bytes.size());
    data_ = std::move(bytes);
    position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, FileMode::Create);
    file.WriteBuffer(data_.data(), data_.size());
    file.Close();
}

// --- TBytesViewStream ------------------------------------------------------

size_t TBytesViewStream::Read(void* buffer, size_t count)
{
    if (position_ >= size_)
        return 0;
    const size_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

int64_t TBytesViewStream::Seek(int64_t offset, SeekOrigin origin)
{
    position_ = ClampedSeek(offset, origin, position_, size_);
    return static_cast<int64_t>(position_);
}

// --- TFileStream -----------------------------------------------------------

static const char* ModeString(FileMode mode)
{
    switch (mode) {
    case FileMode::OpenRead: return "rb";
    case FileMode::Create: return "wb";
    case FileMode::OpenReadWrite: return "r+b";
    }
    return "rb";
}

TFileStream::TFileStream(const std::string& fileName, FileMode mode) : fileName_(fileName)
{
    if (mode != FileMode::Create && std::filesystem::is_directory(fileName))
        throw EFOpenError("Cannot open file \"" + fileName + "\". Is a directory");
    file_ = std::fopen(fileName.c_str(), ModeString(mode));
    if (!file_) {
        const std::string reason = std::strerror(errno);
        if (mode == FileMode::Create)
            throw EFOpenError("Cannot create file \"" + fileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
    }
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

size_t TFileStream::Write(const void* buffer, size_t count)
{
    return file_ ? std::fwrite(buffer, 1, count, file_) : 0;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin)
{
    if (!file_)
        return 0;
    int whence = SEEK_SET;
    if (origin == SeekOrigin::Current)
        whence = SEEK_CUR;
    else if (origin == SeekOrigin::End)
        whence = SEEK_END;
    if (origin == SeekOrigin::Begin && offset < 0)
        offset = 0;
    fseeko(file_, static_cast<off_t>(offset), whence);
    return static_cast<int64_t>(ftello(file_));
}

int64_t TFileStream::Size() const
{
    if (!file_)
        return 0;
    const off_t here = ftello(file_);
    fseeko(file_, 0, SEEK_END);
    const off_t size = ftello(file_);
    fseeko(file_, here, SEEK_SET);
    return static_cast<int64_t>(size);
}

void TFileStream::Close()
{
    if (!file_)
        return;
    const bool failed = std::fflush(file_) != 0 || std::ferror(file_) != 0;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed)
        throw EStreamError("Cannot write file \"" + fileName_ + "\"");
}

// --- WriteFileAtomically ---------------------------------------------------

static std::string TemporaryNameBeside(const std::string& fileName)
{
    std::random_device random;
    return fileName + ".tmp" + std::to_string(random() % 1000000);
}

void WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& writer)
{
    const std::string temporary = TemporaryNameBeside(fileName);
    try {
        TFileStream stream(temporary, FileMode::Create);
        writer(stream);
        stream.Close();
        std::error_code error;
        std::filesystem::rename(temporary, fileName, error);
        if (error)
            throw EFOpenError("Cannot create file \"" + fileName + "\". " + error.message());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

} // namespace animora
