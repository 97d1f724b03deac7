#pragma once
// Headless host: Maya's MFnBase, the base of every function set.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnBase {
  public:
    virtual ~MFnBase() = default;

    virtual MFn::Type type() const { return MFn::kBase; }
    bool hasObj(MFn::Type type) const { return object_.hasFn(type); }
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* returnStatus = nullptr) const;
    // Attaches the object when it has this function set's type(); others are refused.
    virtual MStatus setObject(const MObject& object);

  protected:
    MFnBase() = default;

    MObject object_;
};

// The standard members every function set declares, as Maya's own headers spell them: its
// type, its destructor and class name, and no copies (a function set is a view on one object).
#define declareMinimalMFn(MFnClass)       \
  public:                                 \
    MFn::Type type() const override;      \
    ~MFnClass() override;                 \
                                          \
    static const char* className();       \
                                          \
  private:                                \
    MFnClass(const MFnClass& rhs);        \
    MFnClass& operator=(const MFnClass&); \
    MFnClass* operator&() const

#define declareMFn(MFnClass, MFnParentClass) \
    declareMinimalMFn(MFnClass);             \
                                             \
  public:                                    \
    MFnClass() {}                            \
    MFnClass(MObject& object, MStatus* ReturnStatus = nullptr)

#define declareMFnConstConstructor(MFnClass, MFnParentClass) \
    MFnClass(const MObject& object, MStatus* ReturnStatus = nullptr)

OPENMAYA_NAMESPACE_CLOSE
