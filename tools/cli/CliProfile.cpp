#include "CliProfile.h"

#include <charconv>
#include <cstdlib>
#include <fstream>

std::string CCliProfile::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config)
        base = config;
    else if (const char* home = std::getenv("HOME"))
        base = std::string(home) + "/.config";
    return base + "/Norvane/Calora.conf";
}

CCliProfile::CCliProfile(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    bool general = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            general = line == "[General]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!general || equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        values[key] = UnquoteIniValue(line.substr(equals + 1));
    }
}

std::string UnquoteIniValue(const std::string& raw) {
    std::string out;
    size_t i = 0;
    while (i < raw.size() && raw[i] == ' ')
        ++i;
    bool quoted = false;
    size_t kept = 0; // text up to a closing quote keeps its spaces
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            kept = out.size();
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
        } else {
            out += c;
        }
    }
    while (!quoted && out.size() > kept && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string CCliProfile::GetString(const std::string& key, const std::string& fallback) {
    auto found = values.find(key);
    return found == values.end() ? fallback : found->second;
}

int CCliProfile::GetInt(const std::string& key, int fallback) {
    auto found = values.find(key);
    if (found == values.end())
        return fallback;
    int value = 0;
    const std::string& text = found->second;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : fallback;
}

void CCliProfile::WriteString(const std::string& key, const std::string& value) {
    values[key] = value;
}

void CCliProfile::WriteInt(const std::string& key, int value) {
    values[key] = std::to_string(value);
}
