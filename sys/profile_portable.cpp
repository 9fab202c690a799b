#include "sys/profile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool same_name(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool read_lines(const char* path, std::vector<std::string>* lines) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(line);
        start = end + 1;
    }
    return true;
}

// The section name of a "[name]" line, or false.
bool section_of(const std::string& line, std::string* name) {
    std::string t = trim(line);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.find(']');
    *name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Splits a "key=value" line; comment lines have no key.
bool key_of(const std::string& line, std::string* key, std::string* value) {
    std::string t = trim(line);
    if (t.empty() || t[0] == ';') return false;
    size_t eq = t.find('=');
    *key = trim(t.substr(0, eq));
    *value = eq == std::string::npos ? std::string() : trim(t.substr(eq + 1));
    return true;
}

struct Found {
    int section_line = -1;  // the "[section]" line
    int last_line = -1;     // the last line that belongs to the section
    int key_line = -1;
    std::string value;
};

Found find_key(const std::vector<std::string>& lines, const char* section, const char* key) {
    Found f;
    bool inside = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        std::string name, k, v;
        if (section_of(lines[i], &name)) {
            if (inside) break;
            if (same_name(name, section)) {
                inside = true;
                f.section_line = f.last_line = i;
            }
            continue;
        }
        if (!inside) continue;
        if (!trim(lines[i]).empty()) f.last_line = i;
        if (f.key_line < 0 && key_of(lines[i], &k, &v) && same_name(k, key)) {
            f.key_line = i;
            f.value = v;
        }
    }
    return f;
}

int copy_out(const std::string& text, char* out, int size) {
    if (!out || size <= 0) return 0;
    int n = int(text.size());
    if (n > size - 1) n = size - 1;
    std::memcpy(out, text.data(), size_t(n));
    out[n] = '\0';
    return n;
}

}  // namespace

int profile_get_string(const char* section, const char* key, const char* def, char* out,
                       int size, const char* path) {
    std::vector<std::string> lines;
    if (read_lines(path, &lines)) {
        Found f = find_key(lines, section, key);
        if (f.key_line >= 0) {
            std::string v = f.value;
            if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
                v = v.substr(1, v.size() - 2);
            return copy_out(v, out, size);
        }
    }
    // The default loses trailing blanks, as the Windows function does.
    std::string d = def ? def : "";
    while (!d.empty() && d.back() == ' ') d.pop_back();
    return copy_out(d, out, size);
}

int profile_write_string(const char* section, const char* key, const char* value,
                         const char* path) {
    std::vector<std::string> lines;
    read_lines(path, &lines);
    std::string entry = std::string(key) + "=" + (value ? value : "");
    Found f = find_key(lines, section, key);
    if (f.key_line >= 0) {
        lines[size_t(f.key_line)] = entry;
    } else if (f.section_line >= 0) {
        lines.insert(lines.begin() + f.last_line + 1, entry);
    } else {
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(entry);
    }
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 0;
    bool ok = true;
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size() ||
            std::fwrite("\r\n", 1, 2, out) != 2)
            ok = false;
    }
    if (std::fclose(out) != 0) ok = false;
    return ok ? 1 : 0;
}
