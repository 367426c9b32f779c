#include "Resources.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace tolvex::e2e {
namespace {

constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Blob FindBlob(HMODULE module, LPCWSTR type, int id) {
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), kUsEnglish);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    return Blob{static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

template <typename T>
T Read(const BYTE* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// One node of a version record: a key, a value and its children.
struct VersionNode {
    std::wstring key;
    WORD type = 0;
    const BYTE* value = nullptr;
    WORD valueLength = 0;  // in characters for text values, else in bytes
    std::vector<VersionNode> children;
};

std::size_t AlignToDword(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

bool ParseVersionNode(const BYTE* base, std::size_t size, VersionNode& node) {
    if (size < 6) return false;
    const WORD length = Read<WORD>(base);
    if (length < 6 || length > size) return false;
    node.valueLength = Read<WORD>(base + 2);
    node.type = Read<WORD>(base + 4);
    std::size_t offset = 6;
    while (offset + 2 <= length && Read<wchar_t>(base + offset) != L'\0') {
        node.key += Read<wchar_t>(base + offset);
        offset += 2;
    }
    offset = AlignToDword(offset + 2);
    node.value = base + offset;
    offset = AlignToDword(offset + (node.type == 1 ? node.valueLength * 2u : node.valueLength));
    while (offset < length) {
        VersionNode child;
        if (!ParseVersionNode(base + offset, length - offset, child)) return false;
        const WORD childLength = Read<WORD>(base + offset);
        node.children.push_back(std::move(child));
        offset = AlignToDword(offset + childLength);
    }
    return true;
}

const VersionNode* Child(const VersionNode& node, const std::wstring& key) {
    for (const VersionNode& child : node.children) {
        if (child.key == key) return &child;
    }
    return nullptr;
}

void CheckIcon(Checks& check, HMODULE module) {
    const Blob group = FindBlob(module, RT_GROUP_ICON, 1);
    if (!check.That(group.data && group.size == 6 + 14, L"icon group 1, US English, with one entry")) return;
    check.Equal(Read<WORD>(group.data + 4), WORD{1}, L"icon group entries");
    const BYTE* entry = group.data + 6;
    check.That(entry[0] == 32 && entry[1] == 32, L"icon entry is 32 x 32");
    check.Equal(Read<WORD>(entry + 6), WORD{24}, L"icon entry bits per pixel");
    check.Equal(Read<DWORD>(entry + 8), DWORD{3244}, L"icon entry bytes");
    check.Equal(Read<WORD>(entry + 12), WORD{30001}, L"icon entry refers to icon");

    const Blob image = FindBlob(module, RT_ICON, 30001);
    if (!check.That(image.data != nullptr, L"icon 30001 exists")) return;
    check.Equal(image.size, DWORD{3244}, L"icon 30001 size");
    const auto header = Read<BITMAPINFOHEADER>(image.data);
    check.That(header.biWidth == 32 && header.biHeight == 64 && header.biBitCount == 24,
               L"icon 30001 is a 32 x 32, 24-bit image with its mask");
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000, 32, 32, 0);
    check.That(icon != nullptr, L"Windows loads the icon image");
    if (icon) DestroyIcon(icon);
}

void CheckBanner(Checks& check, HMODULE module) {
    const Blob bitmap = FindBlob(module, RT_BITMAP, 101);
    if (!check.That(bitmap.data != nullptr, L"banner bitmap 101 exists")) return;
    check.Equal(bitmap.size, DWORD{125814 - 14}, L"banner size without its file header");
    const auto header = Read<BITMAPINFOHEADER>(bitmap.data);
    check.That(header.biWidth == 320 && header.biHeight == 131, L"banner is 320 x 131, bottom-up");
    check.Equal(header.biBitCount, WORD{24}, L"banner bits per pixel");
    check.Equal(header.biCompression, DWORD{BI_RGB}, L"banner is uncompressed");
    check.That(header.biXPelsPerMeter == 5905 && header.biYPelsPerMeter == 5905, L"banner at 5905 pixels per metre");
}

void CheckVersion(Checks& check, HMODULE module) {
    const Blob version = FindBlob(module, RT_VERSION, 1);
    VersionNode root;
    if (!check.That(version.data && ParseVersionNode(version.data, version.size, root),
                    L"version record 1, US English, is well formed")) {
        return;
    }
    check.Equal(root.key, std::wstring(L"VS_VERSION_INFO"), L"version record key");
    if (check.Equal(root.valueLength, WORD{sizeof(VS_FIXEDFILEINFO)}, L"fixed part size")) {
        const auto fixed = Read<VS_FIXEDFILEINFO>(root.value);
        check.Equal(fixed.dwSignature, DWORD{0xFEEF04BD}, L"fixed part signature");
        check.That(fixed.dwFileVersionMS == 0x00010000 && fixed.dwFileVersionLS == 0, L"file version 1.0.0.0");
        check.That(fixed.dwProductVersionMS == 0x00010000 && fixed.dwProductVersionLS == 0, L"product version 1.0.0.0");
        check.Equal(fixed.dwFileFlags, DWORD{0}, L"no flags");
        check.Equal(fixed.dwFileOS, DWORD{VOS__WINDOWS32}, L"operating system");
        check.Equal(fixed.dwFileType, DWORD{VFT_APP}, L"file type");
        check.Equal(fixed.dwFileSubtype, DWORD{0}, L"file subtype");
    }

    const VersionNode* strings = Child(root, L"StringFileInfo");
    const VersionNode* table = strings ? Child(*strings, L"040904B0") : nullptr;
    if (check.That(table != nullptr, L"string table 040904B0")) {
        const std::pair<const wchar_t*, const wchar_t*> expected[] = {
            {L"CompanyName", L"Penwick Inc"}, {L"ProductName", L"Tolvex"}, {L"FileVersion", L"1.00"},
            {L"ProductVersion", L"1.00"},     {L"InternalName", L"setup"}, {L"OriginalFilename", L"setup.exe"},
        };
        if (check.Equal(table->children.size(), std::size_t{6}, L"six strings")) {
            for (std::size_t i = 0; i < 6; ++i) {
                const VersionNode& entry = table->children[i];
                check.Equal(entry.key, std::wstring(expected[i].first), L"string " + std::to_wstring(i + 1) + L" key");
                std::wstring value(reinterpret_cast<const wchar_t*>(entry.value), entry.valueLength);
                while (!value.empty() && value.back() == L'\0') value.pop_back();
                check.Equal(value, std::wstring(expected[i].second), entry.key);
            }
        }
    }
    const VersionNode* vars = Child(root, L"VarFileInfo");
    const VersionNode* translation = vars ? Child(*vars, L"Translation") : nullptr;
    if (check.That(translation && translation->valueLength == 4, L"one translation")) {
        check.That(Read<WORD>(translation->value) == 0x0409 && Read<WORD>(translation->value + 2) == 0x04B0,
                   L"translation 0x0409, 0x04B0");
    }
}

void CheckManifest(Checks& check, HMODULE module) {
    const Blob manifest = FindBlob(module, MAKEINTRESOURCEW(24), 1);
    if (!check.That(manifest.data != nullptr, L"application manifest 1")) return;
    const std::string text(reinterpret_cast<const char*>(manifest.data), manifest.size);
    check.That(text.find("requestedExecutionLevel level=\"asInvoker\"") != std::string::npos, L"runs as invoker");
    check.That(text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                   text.find("version=\"6.0.0.0\"") != std::string::npos,
               L"common controls version 6");
    check.That(text.find("<dpiAware") != std::string::npos, L"DPI aware");
    std::size_t supported = 0;
    for (std::size_t at = 0; (at = text.find("<supportedOS", at)) != std::string::npos; ++at) ++supported;
    check.Equal(supported, std::size_t{5}, L"supported systems Vista to 11");
}

}  // namespace

bool CheckExecutableResources(Checks& check, const std::wstring& executable) {
    HMODULE module =
        LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!check.That(module != nullptr, L"the executable opens as a resource file: " + executable)) return false;
    CheckIcon(check, module);
    CheckBanner(check, module);
    CheckVersion(check, module);
    CheckManifest(check, module);
    FreeLibrary(module);
    return true;
}

}  // namespace tolvex::e2e
