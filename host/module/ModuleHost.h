// The module as a host holds it: loaded at run time, never linked, reached
// through NewInterface, Create and ReleaseInterface only.
#pragma once

#include <QLibrary>
#include <QString>

class CShapeList;
class IGeometryEngine;
class IKerfmate;
class QWidget;

class ModuleHost
{
public:
    enum LoadResult { Loaded, NotLoadable, EntryMissing };

    ModuleHost() = default;
    ~ModuleHost(); // hands the plug-in object back
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Both entry points must be there, or the module counts as not loaded.
    LoadResult Load(const QString& path);
    QString ErrorString() const { return m_strError; }

    // Runs the module's dialog; on OK a list the caller owns, else null.
    CShapeList* Create(IGeometryEngine* pEngine, QWidget* pParent);

private:
    using NewInterfaceFn = IKerfmate* (*)();
    using ReleaseInterfaceFn = void (*)(IKerfmate*);

    QLibrary m_library;
    QString m_strError;
    ReleaseInterfaceFn m_release = nullptr;
    IKerfmate* m_pPlugin = nullptr;
};
