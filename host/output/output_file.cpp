#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

#include "failed_allocation.h"
#include "hugearray.h"

namespace host {
namespace {

// Large enough that a write call moves megabytes, small next to any mesh worth timing.
constexpr std::size_t kBufferBytes = std::size_t{4} << 20;
// The writing thread's stack: the system's default of 8 MiB.
constexpr std::size_t kThreadStackBytes = std::size_t{8} << 20;
// Buffers of this size and more are taken as whole huge pages.
constexpr std::size_t kHugeBufferBytes = std::size_t{1} << 20;
// What may wait for the writing thread at once.
constexpr std::size_t kMostWaiting = std::size_t{32} << 20;

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path, std::string& error) {
    Discard();
    path_ = path;
    temp_ = path + ".part";
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = path + ": cannot write: " + std::strerror(errno);
        temp_.clear();
        return false;
    }
    buffer_ = NewBuffer(kBufferBytes);
    used_ = 0;
    end_ = 0;
    failed_ = 0;
    stop_ = false;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& e) {
        // A thread the system cannot start for want of memory (its stack, under an address-space
        // limit) is running out of memory like any other allocation, and is reported as one.
        if (e.code() != std::errc::resource_unavailable_try_again &&
            e.code() != std::errc::not_enough_memory)
            throw;
        NoteFailedAllocation(kThreadStackBytes);
        throw std::bad_alloc();
    }
    return true;
}

int OutputFile::PWrite(std::uint64_t offset, const char* data, std::size_t bytes) {
    while (bytes > 0) {
        const ssize_t n = ::pwrite(fd_, data, bytes, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        data += n;
        offset += static_cast<std::uint64_t>(n);
        bytes -= static_cast<std::size_t>(n);
    }
    return 0;
}

void OutputFile::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        const bool skip = failed_ != 0;
        lock.unlock();
        const int result = skip ? 0 : PWrite(job.offset, job.buffer.data.get(), job.bytes);
        lock.lock();
        if (result != 0 && failed_ == 0) failed_ = result;
        waiting_ -= job.bytes;
        spare_.push_back(std::move(job.buffer));
        changed_.notify_all();
    }
}

OutputFile::Buffer OutputFile::NewBuffer(std::size_t capacity) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = 0; i < spare_.size(); ++i) {
            if (spare_[i].capacity >= capacity) {
                Buffer b = std::move(spare_[i]);
                spare_.erase(spare_.begin() + static_cast<std::ptrdiff_t>(i));
                return b;
            }
        }
    }
    Buffer b;
    if (capacity >= kHugeBufferBytes) {
        const std::size_t bytes =
            (capacity + HugeArray::kHugePageBytes - 1) & ~(HugeArray::kHugePageBytes - 1);
        auto* p = static_cast<char*>(HugeArray::AllocateZeroed(bytes));
        if (p == nullptr) {
            NoteFailedAllocation(bytes);
            throw std::bad_alloc();
        }
        b.data = std::unique_ptr<char[], BufferRelease>(p, BufferRelease(bytes));
        b.capacity = bytes;
    } else {
        const std::size_t bytes = std::max<std::size_t>(capacity, 1);
        b.data = std::unique_ptr<char[], BufferRelease>(new char[bytes], BufferRelease(bytes));
        b.capacity = capacity;
    }
    return b;
}

void OutputFile::BufferRelease::operator()(char* p) const {
    if (bytes >= kHugeBufferBytes) {
        HugeArray::Free(p, bytes);
    } else {
        delete[] p;
    }
}

void OutputFile::Submit(std::uint64_t offset, Buffer buffer, std::size_t bytes) {
    if (bytes == 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ < kMostWaiting; });
    waiting_ += bytes;
    jobs_.push_back(Job{offset, std::move(buffer), bytes});
    changed_.notify_all();
}

void OutputFile::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ == 0; });
}

void OutputFile::Flush() {
    if (used_ > 0) {
        Buffer next = NewBuffer(kBufferBytes);
        std::swap(next, buffer_);
        Submit(end_, std::move(next), used_);
    }
    end_ += used_;
    used_ = 0;
}

void OutputFile::Write(const void* data, std::size_t bytes) {
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        if (used_ == buffer_.capacity) Flush();
        const std::size_t n = std::min(bytes, buffer_.capacity - used_);
        std::memcpy(buffer_.data.get() + used_, p, n);
        used_ += n;
        p += n;
        bytes -= n;
    }
}

void OutputFile::Seek(std::uint64_t offset) {
    Flush();
    end_ = offset;
}

void OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t bytes) {
    Drain();
    const int result = PWrite(offset, static_cast<const char*>(data), bytes);
    std::lock_guard<std::mutex> lock(mutex_);
    if (result != 0 && failed_ == 0) failed_ = result;
}

char* OutputFile::Reserve(std::size_t bytes) {
    if (buffer_.capacity - used_ < bytes) Flush();
    if (buffer_.capacity < bytes) buffer_ = NewBuffer(bytes);
    return buffer_.data.get() + used_;
}

bool OutputFile::Commit(std::string& error) {
    if (fd_ < 0) {
        error = path_ + ": cannot write: the file is not open";
        return false;
    }
    Flush();
    Drain();
    int failed = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failed = failed_;
    }
    if (::close(fd_) != 0 && failed == 0) failed = errno;
    fd_ = -1;
    if (failed == 0 && std::rename(temp_.c_str(), path_.c_str()) != 0) failed = errno;
    if (failed != 0) {
        error = path_ + ": cannot write: " + std::strerror(failed);
        Discard();
        return false;
    }
    temp_.clear();
    Discard();
    return true;
}

void OutputFile::Discard() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            // What is still queued is not worth writing into a file about to be removed.
            if (failed_ == 0) failed_ = ECANCELED;
            changed_.notify_all();
        }
        thread_.join();
    }
    jobs_.clear();
    spare_.clear();
    waiting_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    buffer_ = Buffer();
    used_ = 0;
}

void TextOut::Float(float f, std::string_view nonFinite) {
    if (!std::isfinite(f)) {
        *this << nonFinite;
        return;
    }
    char* at = file_.Reserve(32);
    const auto res = std::to_chars(at, at + 32, f == 0.0f ? 0.0f : f);
    file_.Wrote(static_cast<std::size_t>(res.ptr - at));
}

void TextOut::Int(std::int64_t i) {
    char* at = file_.Reserve(24);
    const auto res = std::to_chars(at, at + 24, i);
    file_.Wrote(static_cast<std::size_t>(res.ptr - at));
}

}  // namespace host
