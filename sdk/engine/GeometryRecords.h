// Parameter records that cross from a generator to the geometry engine.
// They travel as byte copies, so the layouts below are a wire format:
// little-endian, IEEE 754 doubles, int32 counts, one-byte bools, lengths in
// millimetres. Padding is spelled out and zeroed so that copies compare
// byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

struct SRectBoxParam
{
    double dWidth = 50.0;          // box length
    double dHeight = 50.0;         // box height
    double dDepth = 50.0;          // box width
    double dFluteOfWidth = 12.5;   // groove sizes
    double dFluteOfHeight = 12.5;
    double dFluteOfDepth = 12.5;
    double dThickness = 3.0;       // board
    double dLaserWidth = 0.3;      // kerf compensation
    bool bInSize = false;          // dimensions are inside measures
    bool bNoTop = false;
    bool bNoBottom = false;
    char cPadding[5] = {};
};

struct SFaceLabels
{
    char szFront[64] = {};
    char szBehind[64] = {};
    char szLeft[64] = {};
    char szRight[64] = {};
    char szTop[64] = {};
    char szBottom[64] = {};
};

struct SCornerParam
{
    double dRadius = 12.0;
    double dXSpace = 1.2;          // living-hinge pattern
    double dYSpace = 2.0;
    int32_t nYCount = 2;
    char cPadding[4] = {};
};

// The rounded box starts with the right-angle box's fields; note that here
// the length groove is dFluteOfHeight and the width groove dFluteOfWidth.
struct SFilletBoxParam : SRectBoxParam
{
    SCornerParam sCorner;
    bool bNoFlute3Edge = false;    // no grooves on the third side
    char cPadding2[7] = {};
};

struct SGearParam
{
    SGearParam() = default;
    SGearParam(double d, int32_t n) : dCDiameter(d), nGCount(n) {}
    double dCDiameter = 8.0;       // centre (bore) diameter
    int32_t nGCount = 12;          // teeth
    char cPadding[4] = {};
};

struct SGearBoxParam
{
    SGearParam sGear1{3.0, 12};
    SGearParam sGear2{3.0, 23};
    double dModulus = 1.0;
    double dReserved = 0.0;
};

struct SSealTextParam
{
    SSealTextParam() { SetDefaults("", 7.0, 7.0, 10.0); }
    SSealTextParam(const char* text, double height, double offset, double space)
    {
        SetDefaults(text, height, offset, space);
    }

    char Text[256];                // zero-terminated UTF-8
    char Facename[64];             // font family, zero-terminated UTF-8
    double dHeight;
    double dOffset;
    double dSpace;

private:
    void SetDefaults(const char* text, double height, double offset, double space)
    {
        std::memset(Text, 0, sizeof Text);
        std::memset(Facename, 0, sizeof Facename);
        std::strncpy(Text, text, sizeof Text - 1);
        std::strncpy(Facename, "\xE5\xAE\x8B\xE4\xBD\x93", sizeof Facename - 1); // 宋体
        dHeight = height;
        dOffset = offset;
        dSpace = space;
    }
};

struct SSealBoxParam
{
    double D1 = 60.0;              // outer rim diameter
    double D2 = 45.0;              // inner diameter
    bool bTextReverse = false;     // seal (mirrored) rather than badge
    bool bStar = true;
    char cPadding[6] = {};
    double dStarSize = 10.0;
    SSealTextParam sText1{"COMPETITION", 4.0, 2.0, 1.0};
    SSealTextParam sText2{"First Prize", 4.0, 2.0, 1.0};
    SSealTextParam sText3{"Medal", 7.0, 0.0, 10.0};
};

// --- layout pins

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

static_assert(std::is_trivially_copyable_v<SRectBoxParam>);
static_assert(sizeof(SRectBoxParam) == 72);
static_assert(offsetof(SRectBoxParam, dWidth) == 0);
static_assert(offsetof(SRectBoxParam, dHeight) == 8);
static_assert(offsetof(SRectBoxParam, dDepth) == 16);
static_assert(offsetof(SRectBoxParam, dFluteOfWidth) == 24);
static_assert(offsetof(SRectBoxParam, dFluteOfHeight) == 32);
static_assert(offsetof(SRectBoxParam, dFluteOfDepth) == 40);
static_assert(offsetof(SRectBoxParam, dThickness) == 48);
static_assert(offsetof(SRectBoxParam, dLaserWidth) == 56);
static_assert(offsetof(SRectBoxParam, bInSize) == 64);
static_assert(offsetof(SRectBoxParam, bNoTop) == 65);
static_assert(offsetof(SRectBoxParam, bNoBottom) == 66);
static_assert(sizeof(bool) == 1 && sizeof(double) == 8);

static_assert(std::is_trivially_copyable_v<SFaceLabels>);
static_assert(sizeof(SFaceLabels) == 384);
static_assert(offsetof(SFaceLabels, szFront) == 0);
static_assert(offsetof(SFaceLabels, szBehind) == 64);
static_assert(offsetof(SFaceLabels, szLeft) == 128);
static_assert(offsetof(SFaceLabels, szRight) == 192);
static_assert(offsetof(SFaceLabels, szTop) == 256);
static_assert(offsetof(SFaceLabels, szBottom) == 320);

static_assert(sizeof(SCornerParam) == 32);
static_assert(offsetof(SCornerParam, dRadius) == 0);
static_assert(offsetof(SCornerParam, dXSpace) == 8);
static_assert(offsetof(SCornerParam, dYSpace) == 16);
static_assert(offsetof(SCornerParam, nYCount) == 24);

static_assert(std::is_trivially_copyable_v<SFilletBoxParam>);
static_assert(sizeof(SFilletBoxParam) == 112);
static_assert(offsetof(SFilletBoxParam, dFluteOfWidth) == 24);
static_assert(offsetof(SFilletBoxParam, dFluteOfHeight) == 32);
static_assert(offsetof(SFilletBoxParam, bNoBottom) == 66);
static_assert(offsetof(SFilletBoxParam, sCorner) == 72);
static_assert(offsetof(SFilletBoxParam, sCorner) + offsetof(SCornerParam, nYCount) == 96);
static_assert(offsetof(SFilletBoxParam, bNoFlute3Edge) == 104);

static_assert(std::is_trivially_copyable_v<SGearParam>);
static_assert(sizeof(SGearParam) == 16);
static_assert(offsetof(SGearParam, dCDiameter) == 0);
static_assert(offsetof(SGearParam, nGCount) == 8);
static_assert(sizeof(SGearBoxParam) == 48);
static_assert(offsetof(SGearBoxParam, sGear1) == 0);
static_assert(offsetof(SGearBoxParam, sGear2) == 16);
static_assert(offsetof(SGearBoxParam, dModulus) == 32);
static_assert(offsetof(SGearBoxParam, dReserved) == 40);

static_assert(std::is_trivially_copyable_v<SSealTextParam>);
static_assert(sizeof(SSealTextParam) == 344);
static_assert(offsetof(SSealTextParam, Text) == 0);
static_assert(offsetof(SSealTextParam, Facename) == 256);
static_assert(offsetof(SSealTextParam, dHeight) == 320);
static_assert(offsetof(SSealTextParam, dOffset) == 328);
static_assert(offsetof(SSealTextParam, dSpace) == 336);

static_assert(std::is_trivially_copyable_v<SSealBoxParam>);
static_assert(sizeof(SSealBoxParam) == 1064);
static_assert(offsetof(SSealBoxParam, D1) == 0);
static_assert(offsetof(SSealBoxParam, D2) == 8);
static_assert(offsetof(SSealBoxParam, bTextReverse) == 16);
static_assert(offsetof(SSealBoxParam, bStar) == 17);
static_assert(offsetof(SSealBoxParam, dStarSize) == 24);
static_assert(offsetof(SSealBoxParam, sText1) == 32);
static_assert(offsetof(SSealBoxParam, sText2) == 376);
static_assert(offsetof(SSealBoxParam, sText3) == 720);

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
