/*
 * Reads back what the Windows build carries, for the distribution check under Wine. Built
 * with mingw-w64 by scripts/wine-dist-check.sh; not part of the program. Text is printed in
 * UTF-8, one item per line.
 *
 *   dist_probe.exe version FILE    the version resource: "fixed a.b.c.d", then "Name=value"
 *                                  for each string of the first translation
 *   dist_probe.exe icons FILE      "groups <n>" as ExtractIconExW counts them, then
 *                                  "sizes <side> ..." of the first icon group
 *   dist_probe.exe manifest FILE   the embedded application manifest, as it is stored
 *   dist_probe.exe key PATH        the values of HKEY_CURRENT_USER\PATH as "name=value"
 *                                  (strings and numbers), or "absent"
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void printUtf8(const wchar_t *text)
{
    char buffer[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (length > 0)
        fwrite(buffer, 1, (size_t)length - 1, stdout);
}

static int printVersion(const wchar_t *path)
{
    static const wchar_t *names[] = {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                                     L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &unused);
    void *data;
    VS_FIXEDFILEINFO *fixed;
    WORD *translation;
    UINT length;
    size_t i;

    if (size == 0) {
        printf("none %lu\n", GetLastError());
        return 1;
    }
    data = malloc(size);
    if (!GetFileVersionInfoW(path, 0, size, data) || !VerQueryValueW(data, L"\\", (void **)&fixed, &length) ||
        !VerQueryValueW(data, L"\\VarFileInfo\\Translation", (void **)&translation, &length)) {
        printf("unreadable %lu\n", GetLastError());
        return 1;
    }
    printf("fixed %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
           HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    for (i = 0; i < sizeof names / sizeof names[0]; ++i) {
        wchar_t query[128];
        wchar_t *value;
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], names[i]);
        if (VerQueryValueW(data, query, (void **)&value, &length) && length > 0) {
            printUtf8(names[i]);
            printf("=");
            printUtf8(value);
            printf("\n");
        }
    }
    free(data);
    return 0;
}

/* A name handed to the callback lives only as long as the call: the resource is found there. */
static BOOL CALLBACK findFirst(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found)
{
    *(HRSRC *)found = FindResourceW(module, name, type);
    return FALSE;
}

/* The group directory as resources store it: a header, then one 14-byte entry per image. */
static int printIcons(const wchar_t *path)
{
    HMODULE module;
    HRSRC resource = NULL;
    const BYTE *directory;
    int count, i;

    printf("groups %u\n", ExtractIconExW(path, -1, NULL, NULL, 0));
    module = LoadLibraryExW(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return 1;
    EnumResourceNamesW(module, (LPCWSTR)RT_GROUP_ICON, findFirst, (LONG_PTR)&resource);
    if (!resource)
        return 1;
    directory = (const BYTE *)LockResource(LoadResource(module, resource));
    count = directory[4] | directory[5] << 8;
    printf("sizes");
    for (i = 0; i < count; ++i) {
        int side = directory[6 + 14 * i];
        printf(" %d", side == 0 ? 256 : side);
    }
    printf("\n");
    return 0;
}

static int printManifest(const wchar_t *path)
{
    HMODULE module = LoadLibraryExW(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC resource = module ? FindResourceW(module, MAKEINTRESOURCEW(1), (LPCWSTR)RT_MANIFEST) : NULL;
    if (!resource) {
        printf("none\n");
        return 1;
    }
    fwrite(LockResource(LoadResource(module, resource)), 1, SizeofResource(module, resource), stdout);
    return 0;
}

static int printKey(const wchar_t *path)
{
    HKEY key;
    DWORD i;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        printf("absent\n");
        return 0;
    }
    for (i = 0;; ++i) {
        wchar_t name[256];
        BYTE data[4096];
        DWORD nameLength = 256, dataLength = sizeof data - sizeof(wchar_t), type;
        if (RegEnumValueW(key, i, name, &nameLength, NULL, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        printUtf8(name);
        if (type == REG_DWORD) {
            printf("=%lu\n", *(DWORD *)data);
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[dataLength] = data[dataLength + 1] = 0;
            printf("=");
            printUtf8((const wchar_t *)data);
            printf("\n");
        } else {
            printf("=(type %lu)\n", type);
        }
    }
    RegCloseKey(key);
    return 0;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc == 3 && wcscmp(argv[1], L"version") == 0)
        return printVersion(argv[2]);
    if (argc == 3 && wcscmp(argv[1], L"icons") == 0)
        return printIcons(argv[2]);
    if (argc == 3 && wcscmp(argv[1], L"manifest") == 0)
        return printManifest(argv[2]);
    if (argc == 3 && wcscmp(argv[1], L"key") == 0)
        return printKey(argv[2]);
    fprintf(stderr, "usage: dist_probe version|icons|manifest FILE | dist_probe key PATH\n");
    return 2;
}
