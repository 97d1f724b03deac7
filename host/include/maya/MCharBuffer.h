#pragma once
// Headless host: Maya's MCharBuffer, one buffer of a threaded device node's memory pool.

class MCharBuffer {
public:
    MCharBuffer() = default;
    MCharBuffer(const MCharBuffer&) = delete;
    MCharBuffer& operator=(const MCharBuffer&) = delete;
    ~MCharBuffer() = default;

    char* ptr() { return ptr_; }
    long size() const { return size_; }

private:
    friend class MPxThreadedDeviceNode;
    char* ptr_ = nullptr;
    long size_ = 0;
};
