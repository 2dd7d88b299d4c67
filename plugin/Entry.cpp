// The loadable module's only exports.
#include "IKerfmate.h"

extern "C" __attribute__((visibility("default"))) IKerfmate* NewInterface()
{
    return new CKerfmateIns;
}

extern "C" __attribute__((visibility("default"))) void ReleaseInterface(IKerfmate* p)
{
    delete p;
}
