#pragma once
// Headless host: Maya's MPxThreadedDeviceNode, a node whose thread handler runs on a worker
// thread of its own and hands data to compute through a queue of pool buffers.

#include <memory>

#include <maya/MObjectArray.h>
#include <maya/MPxNode.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// One buffer of a threaded device node's memory pool. Maya declares it here; there is no
// MCharBuffer.h.
class MCharBuffer {
  public:
    MCharBuffer() = default;
    MCharBuffer(const MCharBuffer&) = delete;
    MCharBuffer& operator=(const MCharBuffer&) = delete;
    ~MCharBuffer() = default;

    char* ptr() { return ptr_; }
    long size() { return size_; }  // not const, as in Maya

  private:
    friend class MPxThreadedDeviceNode;
    char* ptr_ = nullptr;
    long size_ = 0;
};

class MPxThreadedDeviceNode : public MPxNode {
  public:
    MPxThreadedDeviceNode();
    ~MPxThreadedDeviceNode() override;

    MPxNode::Type type() const override;

    virtual void threadHandler();
    virtual void threadShutdownHandler();

    MStatus setDone(bool done);
    bool isDone();
    bool isLive();

    MStatus beginThreadLoop();
    MStatus endThreadLoop();

    MStatus createMemoryPools(int nCount, int nElements, long nSize);
    MStatus destroyMemoryPools();
    MStatus acquireDataStorage(MCharBuffer& buffer);
    MStatus releaseDataStorage(MCharBuffer& buffer);
    MStatus pushThreadData(MCharBuffer& buffer);
    MStatus popThreadData(MCharBuffer& buffer);
    long threadDataCount();

    MStatus setRefreshOutputAttributes(const MObjectArray& attributes);

    static MObject live;
    static MObject frameRate;
    static MObject output;

  private:
    friend struct headless::detail::HostAccess;
    std::unique_ptr<headless::detail::DeviceQueue> queue_;
    std::unique_ptr<headless::detail::DeviceThread> thread_;
};

OPENMAYA_NAMESPACE_CLOSE
