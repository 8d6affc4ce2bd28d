#pragma once
// Byte streams: the one way the codec and the format readers see files.
// A stream has a position and a size; Read and Write move the position and
// answer how many bytes they moved, the Buffer variants raise on a short move.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace animora {

enum class SeekOrigin { Begin, Current, End };

class TStream {
public:
    virtual ~TStream() = default;

    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Answers the new position; positions before 0 are clamped to 0.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(int64_t position) { Seek(position, SeekOrigin::Begin); }
    int64_t Remaining() { return Size() - Position(); }

    // Raise EStreamError ("Stream read error" / "Stream write error") when
    // fewer than count bytes could be moved.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);

    // Copies count bytes from source (all of it from its current position
    // when count is 0) and answers the number copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable stream held in memory; the stream owns its bytes.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    TMemoryStream(const void* data, size_t size);
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }

    void SetSize(size_t size);
    void Clear();
    const std::vector<uint8_t>& Bytes() const { return data_; }
    std::vector<uint8_t>& Bytes() { return data_; }
    const uint8_t* Memory() const { return data_.data(); }

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

// A read-only view of bytes owned by someone else; never copies them.
class TBytesViewStream : public TStream {
public:
    TBytesViewStream(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

enum class FileMode { OpenRead, Create, OpenReadWrite };

// A stream over a file on disk. Opening failures raise EFOpenError with the
// file name and the system's reason.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, FileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override;

    const std::string& FileName() const { return fileName_; }
    // Flushes and closes; raises EStreamError when buffered data could not
    // be written (a full disk shows up here, not in Write).
    void Close();

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
};

// Writes a file so that a failure never destroys the file already there:
// the writer fills a temporary file beside the target, which replaces the
// target only once it is complete. Any exception from the writer leaves the
// target untouched and removes the temporary file.
void WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& writer);

} // namespace animora
