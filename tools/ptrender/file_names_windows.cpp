#include <windows.h>
#include <shellapi.h>

#include "file_names.h"

namespace {

std::string utf8(const wchar_t *text, int units) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, units, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string &text) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], units);
    return out;
}

}  // namespace

std::vector<std::string> program_arguments(int argc, char **argv) {
    int count = 0;
    wchar_t **wide_argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide_argv) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; i++) args.push_back(utf8(wide_argv[i], lstrlenW(wide_argv[i])));
    LocalFree(wide_argv);
    return args;
}

std::string file_name_key(const std::string &name) {
    std::wstring w = wide(name);
    if (!w.empty()) CharLowerBuffW(&w[0], DWORD(w.size()));
    return utf8(w.data(), int(w.size()));
}
