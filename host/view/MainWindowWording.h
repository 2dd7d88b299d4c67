// The window's texts in the language chosen: every part of the window asks here.
#pragma once

#include "CTranslator.h"

#include <QString>

inline QString Wording(const char* pszKey)
{
    return CTranslator::GetInstance()->GetWording(QString::fromUtf8(pszKey));
}
