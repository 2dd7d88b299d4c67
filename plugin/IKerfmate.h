// The plug-in object the host gets from NewInterface. Slot order is the
// host's contract: 0 the destructor, 1 Create.
#pragma once

class CShapeList;
class IGeometryEngine;
class QWidget;

class IKerfmate
{
public:
    virtual ~IKerfmate() = default;
    // Runs the generator dialog. On OK a new list the caller owns; else null.
    virtual CShapeList* Create(IGeometryEngine* pEngine, void* pHostArg, QWidget* pParent) = 0;
};

class CKerfmateIns : public IKerfmate
{
public:
    ~CKerfmateIns() override;
    CShapeList* Create(IGeometryEngine* pEngine, void* pHostArg, QWidget* pParent) override;
};

// The two names the host resolves.
extern "C" IKerfmate* NewInterface();
extern "C" void ReleaseInterface(IKerfmate* p);
