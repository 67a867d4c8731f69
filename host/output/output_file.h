// An output file that appears whole or not at all, and the buffered text writing the streamed
// writers (.obj, .json) share.
//
// OutputFile writes into PATH.part beside the target and renames it over PATH on Commit. Until
// then nothing at PATH changes; a file destroyed without Commit (an error, an exception such as
// running out of memory) removes its .part, so no truncated output is ever left behind.
// Writes go through one buffer to the current end of the file (Write) or to a given offset
// (Submit, for a writer that fills regions whose places it worked out first, each through a
// buffer of its own). Full buffers go to a writing thread, so the kernel copies one buffer
// into the file while the writer fills the next; at most 32 MiB wait at any time.
//
// TextOut formats into the file's buffer: numbers in the shortest form that reads back as the
// same value (std::to_chars: a float reads back as the same float), integers exactly.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace host {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates PATH.part; false, with "PATH: cannot write: REASON" in error, when it cannot.
    bool Open(const std::string& path, std::string& error);

    // Appends at the end of what Write has written (after `Seek`, from there on).
    void Write(const void* data, std::size_t bytes);
    // Moves the end Write appends at (flushing what is buffered first).
    void Seek(std::uint64_t offset);
    // Writes at an offset, past the buffer (waits until written).
    void WriteAt(std::uint64_t offset, const void* data, std::size_t bytes);

    // A buffer of `capacity` bytes to fill and Submit (recycled from earlier submissions).
    // Buffers of a megabyte and more are whole 2 MiB huge pages (HugeArray): a long write
    // fills tens of fresh buffers, and a fault for every 4 KiB of them cost as much as filling
    // them.
    struct BufferRelease {
        BufferRelease() noexcept : bytes(0) {}
        explicit BufferRelease(std::size_t n) noexcept : bytes(n) {}
        void operator()(char* p) const;
        std::size_t bytes;
    };
    struct Buffer {
        std::unique_ptr<char[], BufferRelease> data;
        std::size_t capacity = 0;
    };
    Buffer NewBuffer(std::size_t capacity);
    // Hands `bytes` of the buffer to the writing thread, to be written at offset.
    void Submit(std::uint64_t offset, Buffer buffer, std::size_t bytes);

    // Room for `bytes` more in the buffer, to format into; Wrote then counts what was used.
    char* Reserve(std::size_t bytes);
    void Wrote(std::size_t bytes) { used_ += bytes; }

    // Everything written so far (the bytes Write appended, and any WriteAt past them).
    std::uint64_t Written() const { return end_ + used_; }

    // Flushes, closes and renames over PATH; false, with a message, when any write failed.
    bool Commit(std::string& error);
    // Closes and removes PATH.part (also what the destructor does without Commit).
    void Discard();

private:
    struct Job {
        std::uint64_t offset = 0;
        Buffer buffer;
        std::size_t bytes = 0;
    };
    void Flush();
    // Waits until every submitted buffer is written.
    void Drain();
    void Run();
    int PWrite(std::uint64_t offset, const char* data, std::size_t bytes);

    int fd_ = -1;
    std::string path_;
    std::string temp_;
    Buffer buffer_;
    std::size_t used_ = 0;
    std::uint64_t end_ = 0;  // file offset of buffer_[0]

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::vector<Buffer> spare_;
    std::size_t waiting_ = 0;  // bytes queued or being written
    bool stop_ = false;
    int failed_ = 0;  // errno of the first failed write
    std::thread thread_;
};

// A region of the file, at an offset worked out beforehand, written front to back through a
// buffer of its own (of at most kRegionBuffer bytes); full buffers go to the writing thread.
class RegionWriter {
public:
    static constexpr std::size_t kRegionBuffer = std::size_t{1} << 20;

    RegionWriter(OutputFile& file, std::uint64_t at, std::uint64_t bytes)
        : file_(file),
          at_(at),
          buffer_(file.NewBuffer(
              static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kRegionBuffer)))) {}
    ~RegionWriter() { Flush(); }
    RegionWriter(const RegionWriter&) = delete;
    RegionWriter& operator=(const RegionWriter&) = delete;

    template <class T>
    void Put(const T& value) {
        Put<sizeof(T)>(&value);
    }
    // A known size (at most the buffer's) is copied without a call.
    template <std::size_t bytes>
    void Put(const void* data) {
        if (used_ + bytes > buffer_.capacity) Flush();
        std::memcpy(buffer_.data.get() + used_, data, bytes);
        used_ += bytes;
    }
    void Flush() {
        if (used_ == 0) return;
        const std::size_t capacity = buffer_.capacity;
        file_.Submit(at_, std::move(buffer_), used_);
        buffer_ = file_.NewBuffer(capacity);
        at_ += used_;
        used_ = 0;
    }

private:
    OutputFile& file_;
    std::uint64_t at_;
    OutputFile::Buffer buffer_;
    std::size_t used_ = 0;
};

// Text into an OutputFile.
class TextOut {
public:
    explicit TextOut(OutputFile& file) : file_(file) {}

    TextOut& operator<<(std::string_view s) {
        file_.Write(s.data(), s.size());
        return *this;
    }
    TextOut& operator<<(char c) {
        *file_.Reserve(1) = c;
        file_.Wrote(1);
        return *this;
    }
    // The shortest decimal that reads back as the same float; -0 is written as 0 and a value
    // that is not finite as `nonFinite`.
    void Float(float f, std::string_view nonFinite = "nan");
    void Int(std::int64_t i);

private:
    OutputFile& file_;
};

}  // namespace host
