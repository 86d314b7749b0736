#include "win32_serial/com_ports.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "win32_text/unicode.h"

namespace proxcred::win32 {
namespace {

constexpr const char* kOverrideVariable = "PROXCRED_SERIAL_PORTS";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> overrideList(const char* list) {
    std::vector<std::string> devices;
    std::istringstream entries(list);
    for (std::string entry; std::getline(entries, entry, ',');) {
        if (!trimmed(entry).empty()) devices.push_back(trimmed(entry));
    }
    return devices;
}

}  // namespace

std::string systemMessage(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return "system error " + std::to_string(error);
    return utf8Of(message);
}

std::vector<std::string> systemComPorts() {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameLength = 256;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || type != REG_SZ) continue;
        ports.push_back(utf8Of(std::wstring_view(data, wcsnlen(data, dataSize / sizeof(wchar_t)))));
    }
    RegCloseKey(key);
    return ports;
}

std::optional<std::string> comPortDevice(int port) {
    if (port < 1) return std::nullopt;
    if (const char* list = std::getenv(kOverrideVariable)) {
        const std::vector<std::string> devices = overrideList(list);
        if (static_cast<std::size_t>(port) > devices.size()) return std::nullopt;
        return devices[static_cast<std::size_t>(port) - 1];
    }
    const std::string name = "COM" + std::to_string(port);
    for (const std::string& listed : systemComPorts()) {
        if (_stricmp(listed.c_str(), name.c_str()) == 0) return name;
    }
    return std::nullopt;
}

std::wstring devicePath(const std::string& device) {
    if (device.rfind("\\\\", 0) == 0) return utf16Of(device);
    return L"\\\\.\\" + utf16Of(device);
}

}  // namespace proxcred::win32
