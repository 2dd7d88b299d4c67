// The engine's four builds over arbitrary record bytes.
#include "OutlineCheck.h"
#include "ReferenceEngine.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstring>

namespace {
template <typename Record>
Record FromBytes(const uint8_t* data, size_t size)
{
    Record record;
    std::memcpy(static_cast<void*>(&record), data, std::min(size, sizeof record));
    return record;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv); // fonts need one; it lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    CReferenceEngine engine;
    CShapeList* pMain = CShapeList::New();
    CShapeList* pAux = CShapeList::New();
    const uint8_t* record = data + 1;
    const size_t length = size - 1;
    bool bBuilt = false;
    switch (data[0] % 4) {
    case 0:
        bBuilt = engine.CreateSeal(FromBytes<SSealBoxParam>(record, length), pMain);
        break;
    case 1: {
        SFaceLabels labels = FromBytes<SFaceLabels>(record + std::min(length, sizeof(SRectBoxParam)),
                                                    length - std::min(length, sizeof(SRectBoxParam)));
        bBuilt = engine.CreateRectBox(FromBytes<SRectBoxParam>(record, length), pMain, pAux, &labels);
        break;
    }
    case 2:
        bBuilt = engine.CreateGear(FromBytes<SGearBoxParam>(record, length), pMain);
        break;
    default:
        bBuilt = engine.CreateFilletBox(FromBytes<SFilletBoxParam>(record, length), pMain, pAux);
    }
    CheckAndDispose(bBuilt, pMain);
    CheckAndDispose(bBuilt, pAux);
    return 0;
}
