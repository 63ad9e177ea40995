#include "render/CapsReport.h"

#include <initializer_list>

#include "engine/Format.h"
#include "engine/Md5.h"
#include "engine/Strings.h"
#include "platform/DeviceCaps.h"

namespace {
using Lines = std::vector<std::u16string>;

// One flag group: its field, the common prefix and the flags in bit order.
void flags(Lines& out, const char16_t* group, std::uint32_t field, const char16_t* prefix,
           std::initializer_list<const char16_t*> names) {
    std::u16string supported, unsupported;
    int i = 0;
    for (const char16_t* name : names) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on u" " + prefix.
        std::u16string& list = field & (1u << i++) ? supported : unsupported;
        list += u' ';
        list += prefix;
        list += name;
    }
    out.push_back(formatString(u"\t%s:%s", group, supported));
    if (!unsupported.empty()) out.push_back(formatString(u"\t%s %s", u"(unsupported)", unsupported));
}

void number(Lines& out, const char16_t* name, std::uint32_t value) {
    out.push_back(formatString(u"\t%s: %u", name, value));
}
void real(Lines& out, const char16_t* name, float value) {
    out.push_back(formatString(u"\t%s: %f", name, static_cast<double>(value)));
}

constexpr std::initializer_list<const char16_t*> kCompare = {u"ALWAYS", u"EQUAL",     u"GREATER", u"GREATEREQUAL",
                                                             u"LESS",   u"LESSEQUAL", u"NEVER",   u"NOTEQUAL"};
constexpr std::initializer_list<const char16_t*> kBlend = {
    u"BOTHINVSRCALPHA", u"BOTHSRCALPHA", u"DESTALPHA", u"DESTCOLOR",   u"INVDESTALPHA", u"INVDESTCOLOR", u"INVSRCALPHA",
    u"INVSRCCOLOR",     u"ONE",          u"SRCALPHA",  u"SRCALPHASAT", u"SRCCOLOR",     u"ZERO"};
constexpr std::initializer_list<const char16_t*> kFilter = {u"MAGFANISOTROPIC", u"MAGFLINEAR", u"MAGFPOINT",
                                                            u"MINFANISOTROPIC", u"MINFLINEAR", u"MINFPOINT",
                                                            u"MIPFLINEAR",      u"MIPFPOINT"};
constexpr std::initializer_list<const char16_t*> kAddress = {u"BORDER", u"CLAMP",      u"INDEPENDENTUV",
                                                             u"MIRROR", u"MIRRORONCE", u"WRAP"};

void deviceAndPresentation(Lines& out, const DeviceCaps& c) {
    static const char16_t* const kTypes[] = {u"", u" D3DDEVTYPE_HAL", u" D3DDEVTYPE_REF", u" D3DDEVTYPE_SW"};
    out.push_back(formatString(u"\t%s:%s", u"DeviceType", c.DeviceType <= 3 ? kTypes[c.DeviceType] : u""));
    number(out, u"AdapterOrdinal", c.AdapterOrdinal);
    flags(out, u"Caps", c.Caps, u"D3DCAPS_", {u"READ_SCANLINE"});
    flags(out, u"Caps2", c.Caps2, u"D3DCAPS2_", {u"CANCALIBRATEGAMMA", u"FULLSCREENGAMMA"});
    flags(out, u"PresentationIntervals", c.PresentationIntervals, u"D3DPRESENT_INTERVAL_",
          {u"IMMEDIATE", u"ONE", u"TWO", u"THREE", u"FOUR"});
    flags(out, u"CursorCaps", c.CursorCaps, u"D3DCURSORCAPS_", {u"COLOR", u"LOWRES"});
    flags(
        out, u"DevCaps", c.DevCaps, u"D3DDEVCAPS_",
        {u"CANBLTSYSTONONLOCAL", u"CANRENDERAFTERFLIP", u"DRAWPRIMTLVERTEX", u"EXECUTESYSTEMMEMORY",
         u"EXECUTEVIDEOMEMORY", u"HWRASTERIZATION", u"HWTRANSFORMANDLIGHT", u"NPATCHES", u"PUREDEVICE",
         u"QUINTICRTPATCHES", u"RTPATCHES", u"RTPATCHHANDLEZERO", u"SEPARATETEXTUREMEMORIES", u"TEXTURENONLOCALVIDMEM",
         u"TEXTURESYSTEMMEMORY", u"TEXTUREVIDEOMEMORY", u"TLVERTEXSYSTEMMEMORY", u"TLVERTEXVIDEOMEMORY"});
}

void rasterAndBlending(Lines& out, const DeviceCaps& c) {
    flags(out, u"PrimitiveMiscCaps", c.PrimitiveMiscCaps, u"D3DPMISCCAPS_",
          {u"BLENDOP", u"CLIPPLANESCALEDPOINTS", u"CLIPTLVERTS", u"COLORWRITEENABLE", u"CULLCCW", u"CULLCW",
           u"CULLNONE", u"MASKZ", u"TSSARGTEMP"});
    flags(out, u"RasterCaps", c.RasterCaps, u"D3DPRASTERCAPS_",
          {u"ANISOTROPY", u"COLORPERSPECTIVE", u"DITHER", u"FOGRANGE", u"FOGTABLE", u"FOGVERTEX", u"MIPMAPLODBIAS",
           u"WBUFFER", u"WFOG", u"ZBUFFERLESSHSR", u"ZFOG", u"ZTEST"});
    flags(out, u"ZCmpCaps", c.ZCmpCaps, u"D3DPCMPCAPS_", kCompare);
    flags(out, u"SrcBlendCaps", c.SrcBlendCaps, u"D3DPBLENDCAPS_", kBlend);
    flags(out, u"DestBlendCaps", c.DestBlendCaps, u"D3DPBLENDCAPS_", kBlend);
    flags(out, u"AlphaCmpCaps", c.AlphaCmpCaps, u"D3DPCMPCAPS_", kCompare);
    flags(out, u"ShadeCaps", c.ShadeCaps, u"D3DPSHADECAPS_",
          {u"ALPHAGOURAUDBLEND", u"COLORGOURAUDRGB", u"FOGGOURAUD", u"SPECULARGOURAUDRGB"});
}

void textures(Lines& out, const DeviceCaps& c) {
    flags(out, u"TextureCaps", c.TextureCaps, u"D3DPTEXTURECAPS_",
          {u"ALPHA", u"ALPHAPALETTE", u"CUBEMAP", u"CUBEMAP_POW2", u"MIPCUBEMAP", u"MIPMAP", u"MIPVOLUMEMAP",
           u"NONPOW2CONDITIONAL", u"PERSPECTIVE", u"POW2", u"PROJECTED", u"SQUAREONLY", u"TEXREPEATNOTSCALEDBYSIZE",
           u"VOLUMEMAP", u"VOLUMEMAP_POW2"});
    flags(out, u"TextureFilterCaps", c.TextureFilterCaps, u"D3DPTFILTERCAPS_", kFilter);
    flags(out, u"CubeTextureFilterCaps", c.CubeTextureFilterCaps, u"D3DPTFILTERCAPS_", kFilter);
    flags(out, u"VolumeTextureFilterCaps", c.VolumeTextureFilterCaps, u"D3DPTFILTERCAPS_", kFilter);
    flags(out, u"TextureAddressCaps", c.TextureAddressCaps, u"D3DPTADDRESSCAPS_", kAddress);
    flags(out, u"VolumeTextureAddressCaps", c.VolumeTextureAddressCaps, u"D3DPTADDRESSCAPS_", kAddress);
    flags(out, u"LineCaps", c.LineCaps, u"D3DLINECAPS_", {u"ALPHACMP", u"BLEND", u"FOG", u"TEXTURE", u"ZTEST"});
}

void limits(Lines& out, const DeviceCaps& c) {
    number(out, u"MaxTextureWidth", c.MaxTextureWidth);
    number(out, u"MaxTextureHeight", c.MaxTextureHeight);
    number(out, u"MaxVolumeExtent", c.MaxVolumeExtent);
    number(out, u"MaxTextureRepeat", c.MaxTextureRepeat);
    number(out, u"MaxTextureAspectRatio", c.MaxTextureAspectRatio);
    number(out, u"MaxAnisotropy", c.MaxAnisotropy);
    real(out, u"MaxVertexW", c.MaxVertexW);
    real(out, u"GuardBandLeft", c.GuardBandLeft);
    real(out, u"GuardBandTop", c.GuardBandTop);
    real(out, u"GuardBandRight", c.GuardBandRight);
    real(out, u"GuardBandBottom", c.GuardBandBottom);
    real(out, u"ExtentsAdjust", c.ExtentsAdjust);
    flags(out, u"StencilCaps", c.StencilCaps, u"D3DSTENCILCAPS_",
          {u"DECR", u"DECRSAT", u"INCR", u"INCRSAT", u"INVERT", u"KEEP", u"REPLACE", u"ZERO"});
    flags(out, u"FVFCaps", c.FVFCaps, u"D3DFVFCAPS_", {u"DONOTSTRIPELEMENTS", u"PSIZE"});
    number(out, u"FVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK", c.FVFTexCoordCount);
}

void stagesAndShaders(Lines& out, const DeviceCaps& c) {
    flags(out, u"TextureOpCaps", c.TextureOpCaps, u"D3DTEXOPCAPS_",
          {u"ADD",
           u"ADDSIGNED",
           u"ADDSIGNED2X",
           u"ADDSMOOTH",
           u"BLENDCURRENTALPHA",
           u"BLENDDIFFUSEALPHA",
           u"BLENDFACTORALPHA",
           u"BLENDTEXTUREALPHA",
           u"BLENDTEXTUREALPHAPM",
           u"BUMPENVMAP",
           u"BUMPENVMAPLUMINANCE",
           u"DISABLE",
           u"DOTPRODUCT3",
           u"LERP",
           u"MODULATE",
           u"MODULATE2X",
           u"MODULATE4X",
           u"MODULATEALPHA_ADDCOLOR",
           u"MODULATECOLOR_ADDALPHA",
           u"MODULATEINVALPHA_ADDCOLOR",
           u"MODULATEINVCOLOR_ADDALPHA",
           u"MULTIPLYADD",
           u"PREMODULATE",
           u"SELECTARG1",
           u"SELECTARG2",
           u"SUBTRACT"});
    number(out, u"MaxTextureBlendStages", c.MaxTextureBlendStages);
    number(out, u"MaxSimultaneousTextures", c.MaxSimultaneousTextures);
    flags(out, u"VertexProcessingCaps", c.VertexProcessingCaps, u"D3DVTXPCAPS_",
          {u"DIRECTIONALLIGHTS", u"LOCALVIEWER", u"MATERIALSOURCE7", u"POSITIONALLIGHTS", u"TEXGEN", u"TWEENING"});
    number(out, u"MaxActiveLights", c.MaxActiveLights);
    number(out, u"MaxUserClipPlanes", c.MaxUserClipPlanes);
    number(out, u"MaxVertexBlendMatrices", c.MaxVertexBlendMatrices);
    number(out, u"MaxVertexBlendMatrixIndex", c.MaxVertexBlendMatrixIndex);
    real(out, u"MaxPointSize", c.MaxPointSize);
    number(out, u"MaxPrimitiveCount", c.MaxPrimitiveCount);
    number(out, u"MaxVertexIndex", c.MaxVertexIndex);
    number(out, u"MaxStreams", c.MaxStreams);
    number(out, u"MaxStreamStride", c.MaxStreamStride);
    out.push_back(formatString(u"\t%s: 0x%x", u"VertexShaderVersion", c.VertexShaderVersion));
    number(out, u"MaxVertexShaderConst", c.MaxVertexShaderConst);
    out.push_back(formatString(u"\t%s: 0x%x", u"PixelShaderVersion", c.PixelShaderVersion));
    real(out, u"PixelShader1xMaxValue", c.PixelShader1xMaxValue);
}
}  // namespace

std::vector<std::u16string> CapsReport::adapterLines(const DeviceCaps& c) {
    Lines out{u"Adapter information:"};
    out.push_back(formatString(u"%s: %s", u"Driver", utf8ToWide(c.version)));
    out.push_back(formatString(u"%s: %s", u"Description", utf8ToWide(c.vendor + " " + c.renderer)));
    const std::uint16_t* v = c.versionParts;
    out.push_back(formatString(u"%s: Product(0x%04x), Version(0x%04x), SubVersion(0x%04x), Build(0x%04x)",
                               u"DriverVersion (hex)", v[0], v[1], v[2], v[3]));
    out.push_back(formatString(u"%s: Product(%d), Version(%d), SubVersion(%d), Build(%d)", u"DriverVersion (decimal)",
                               v[0], v[1], v[2], v[3]));
    // OpenGL names no bus identifiers; the adapter is known by its texts alone.
    for (const char16_t* name : {u"VendorId", u"DeviceId", u"SubSysId", u"Revision"})
        out.push_back(formatString(u"%s: 0x%lx", name, 0u));
    // A stable identifier of adapter and driver: the digest of their texts.
    const std::string texts = c.vendor + "\n" + c.renderer + "\n" + c.version;
    std::uint8_t d[16];
    md5Buffer(d, texts.data(), static_cast<int>(texts.size()));
    out.push_back(formatString(u"%s: %08lx-%04x-%04x-%02x%02x%02x%02x%02x%02x%02x%02x", u"DeviceIdentifier",
                               std::uint32_t{d[0]} << 24 | d[1] << 16 | d[2] << 8 | d[3], d[4] << 8 | d[5],
                               d[6] << 8 | d[7], d[8], d[9], d[10], d[11], d[12], d[13], d[14], d[15]));
    out.push_back(formatString(u"WHQLLevel: 0x%lx", 0u));
    return out;
}

std::vector<std::u16string> CapsReport::capsLines(const DeviceCaps& c) {
    Lines out;
    deviceAndPresentation(out, c);
    rasterAndBlending(out, c);
    textures(out, c);
    limits(out, c);
    stagesAndShaders(out, c);
    return out;
}
