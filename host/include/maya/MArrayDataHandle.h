#pragma once
// Headless host: Maya's MArrayDataHandle, the existing elements of an array attribute in
// logical-index order.

#include <memory>
#include <vector>

#include <maya/MDataHandle.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MArrayDataHandle {
  public:
    explicit MArrayDataHandle(const MDataHandle& handle, MStatus* returnStatus = nullptr);
    MArrayDataHandle(const MArrayDataHandle&) = default;
    MArrayDataHandle& operator=(const MArrayDataHandle&) = default;
    ~MArrayDataHandle() = default;

    MDataHandle inputValue(MStatus* returnStatus = nullptr);
    MDataHandle outputValue(MStatus* returnStatus = nullptr);
    MStatus next();
    unsigned int elementCount(MStatus* returnStatus = nullptr);
    unsigned int elementIndex(MStatus* returnStatus = nullptr);
    MStatus jumpToElement(unsigned int logicalIndex);
    MStatus jumpToArrayElement(unsigned int physicalPosition);
    MStatus setClean();
    MStatus setAllClean();

  private:
    MArrayDataHandle() = default;
    friend class MDataBlock;
    MArrayDataHandle(headless::detail::Node* node,
                     std::shared_ptr<headless::detail::Attribute> attribute,
                     std::vector<unsigned int> indices, bool pullInputs);

    MDataHandle elementHandle(MStatus* returnStatus, bool pull);

    headless::detail::Node* node_ = nullptr;  // valid while the compute that made it runs
    std::shared_ptr<headless::detail::Attribute> attribute_;
    std::vector<unsigned int> indices_;  // of the arrays above this one
    std::vector<unsigned int> elements_;
    std::size_t position_ = 0;
};

OPENMAYA_NAMESPACE_CLOSE
