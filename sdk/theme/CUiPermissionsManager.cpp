#include "CUiPermissionsManager.h"

CUiPermissionsManager::CUiPermissionsManager()
    : m_strThemeName(QStringLiteral("Gleamworks"))
{
}

CUiPermissionsManager* CUiPermissionsManager::GetInstance()
{
    static CUiPermissionsManager instance;
    return &instance;
}

QString CUiPermissionsManager::GetThemeName() const
{
    return m_strThemeName;
}

void CUiPermissionsManager::SetThemeName(const QString& strName)
{
    m_strThemeName = strName;
}
