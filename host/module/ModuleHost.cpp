#include "ModuleHost.h"

#include "HostConfig.h"
#include "IKerfmate.h"

ModuleHost::~ModuleHost()
{
    if (m_pPlugin)
        m_release(m_pPlugin);
    // The module stays mapped: Qt may still hold its widgets' meta-objects
    // until the application ends.
}

ModuleHost::LoadResult ModuleHost::Load(const QString& path)
{
    m_library.setFileName(path);
    if (!m_library.load()) {
        m_strError = QStringLiteral("cannot load the module %1: %2").arg(path, m_library.errorString());
        return NotLoadable;
    }
    auto newInterface = reinterpret_cast<NewInterfaceFn>(m_library.resolve("NewInterface"));
    m_release = reinterpret_cast<ReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
    if (!newInterface || !m_release) {
        m_strError = QStringLiteral("the module %1 lacks %2")
                         .arg(path, newInterface ? QStringLiteral("ReleaseInterface") : QStringLiteral("NewInterface"));
        m_release = nullptr;
        return EntryMissing;
    }
    m_pPlugin = newInterface();
    if (!m_pPlugin) {
        m_strError = QStringLiteral("the module %1 handed out no plug-in object").arg(path);
        return EntryMissing;
    }
    return Loaded;
}

CShapeList* ModuleHost::Create(IGeometryEngine* pEngine, QWidget* pParent)
{
    if (!m_pPlugin)
        return nullptr;
    HostConfig::MakeDataFolder();
    return m_pPlugin->Create(pEngine, nullptr, pParent);
}
