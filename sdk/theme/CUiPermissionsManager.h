// Host theme service: which look the host runs with. Plug-ins only read it.
#pragma once

#include <QString>

class CUiPermissionsManager
{
public:
    static CUiPermissionsManager* GetInstance();

    QString GetThemeName() const;
    // Host side only: switching the theme at run time.
    void SetThemeName(const QString& strName);

private:
    CUiPermissionsManager();
    QString m_strThemeName;
};
