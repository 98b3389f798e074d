// Saved games: header, sections, checksum, the file in the data folder and
// the moments the game saves.
#include "save/save_file.h"

#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "app/msgfeed.h"
#include "app/signals.h"
#include "editor/editor.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "save/save_sections.h"
#include "world/fgr.h"
#include "world/location.h"

std::string saveFolder;

namespace {

constexpr int kSaveSignal = 11;
constexpr int kBadNamesTried = 100;

// CRC-32 tables for eight bytes a step (slicing by 8).
struct CrcTables {
    std::uint32_t t[8][256];
};
constexpr CrcTables MakeCrcTables() {
    CrcTables c{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t v = i;
        for (int b = 0; b < 8; ++b) v = (v & 1) ? 0xEDB88320u ^ (v >> 1) : v >> 1;
        c.t[0][i] = v;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int k = 1; k < 8; ++k) c.t[k][i] = (c.t[k - 1][i] >> 8) ^ c.t[0][c.t[k - 1][i] & 0xFF];
    return c;
}
constexpr CrcTables kCrc = MakeCrcTables();

template <typename Fn>
void ForEachSection(Fn fn) {
    for (const SaveSection& s : WorldSaveSections()) fn(s);
    for (const SaveSection& s : RuleSaveSections()) fn(s);
}

int SectionCount() {
    int n = 0;
    ForEachSection([&](const SaveSection&) { ++n; });
    return n;
}

void PutI32At(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Reads every section of a body into the game state. False at the first
// section that is missing, cut short, too long or holds a bad value.
bool ApplyBody(std::span<const std::uint8_t> body) {
    ByteReader r(body);
    bool ok = true;
    ForEachSection([&](const SaveSection& s) {
        if (!ok) return;
        char tag[4];
        std::int32_t length = 0;
        if (!r.ReadBytes(tag, 4) || std::memcmp(tag, s.tag, 4) != 0 || !r.ReadI32(length) || length < 0 ||
            !r.Has(static_cast<std::size_t>(length))) {
            ok = false;
            return;
        }
        SaveIn in(body.subspan(r.pos, static_cast<std::size_t>(length)));
        r.Skip(static_cast<std::size_t>(length));
        ok = s.read(in) && in.Ok() && in.r.Remaining() == 0;
    });
    return ok && r.Remaining() == 0;
}

// Header checks; on Ok, body is the span after the header.
SaveStatus CheckHeader(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t>& body) {
    ByteReader r(bytes);
    char magic[8];
    std::int32_t version = 0, headerBytes = 0, bodyBytes = 0, sections = 0, slots = 0, crc = 0;
    if (!r.ReadBytes(magic, 8)) return bytes.empty() ? SaveStatus::Damaged : SaveStatus::Foreign;
    if (std::memcmp(magic, kSaveMagic, 8) != 0) return SaveStatus::Foreign;
    if (!r.ReadI32(version) || !r.ReadI32(headerBytes) || !r.ReadI32(bodyBytes) || !r.ReadI32(sections) ||
        !r.ReadI32(slots) || !r.ReadI32(crc))
        return SaveStatus::Damaged;
    if (version > kSaveVersion) return SaveStatus::Newer;
    if (version != kSaveVersion || headerBytes != static_cast<std::int32_t>(kSaveHeaderBytes) ||
        sections != SectionCount() || slots != kFigureSlots)
        return SaveStatus::Foreign;
    if (bodyBytes < 0 || static_cast<std::size_t>(bodyBytes) != bytes.size() - kSaveHeaderBytes)
        return SaveStatus::Damaged;
    body = bytes.subspan(kSaveHeaderBytes);
    if (SaveChecksum(body) != static_cast<std::uint32_t>(crc)) return SaveStatus::Damaged;
    return SaveStatus::Ok;
}

bool MakeFolders(const std::string& path) {
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        MakeDirectory(path.substr(0, at).c_str());
    return MakeDirectory(path.c_str());
}

}  // namespace

std::uint32_t SaveChecksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    const auto& t = kCrc.t;
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t lo = c ^ (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
            t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p) c = kCrc.t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> SaveGameToBytes() {
    SaveOut o;
    o.bytes.resize(2u << 20);   // the start location's save fits; a full table doubles it
    o.Bytes(kSaveMagic, 8);
    o.I32(kSaveVersion);
    o.I32(static_cast<std::int32_t>(kSaveHeaderBytes));
    o.I32(0);   // body bytes, below
    o.I32(SectionCount());
    o.I32(kFigureSlots);
    o.I32(0);   // checksum, below
    ForEachSection([&](const SaveSection& s) {
        o.Bytes(s.tag, 4);
        const std::size_t lengthAt = o.used;
        o.I32(0);
        s.write(o);
        PutI32At(o.bytes, lengthAt, static_cast<std::uint32_t>(o.used - lengthAt - 4));
    });
    std::vector<std::uint8_t> b = o.Take();
    PutI32At(b, 16, static_cast<std::uint32_t>(b.size() - kSaveHeaderBytes));
    PutI32At(b, 28, SaveChecksum(std::span<const std::uint8_t>(b).subspan(kSaveHeaderBytes)));
    return b;
}

SaveStatus LoadGameFromBytes(std::span<const std::uint8_t> bytes) {
    std::span<const std::uint8_t> body;
    const SaveStatus header = CheckHeader(bytes, body);
    if (header != SaveStatus::Ok) return header;
    // The state as it is, to come back to when a section is refused half way.
    const std::vector<std::uint8_t> before = SaveGameToBytes();
    if (!ApplyBody(body)) {
        if (!ApplyBody(std::span<const std::uint8_t>(before).subspan(kSaveHeaderBytes)))
            LogPrintf("\nSave: the state before the load could not be restored");
        SaveAfterWorldLoad();
        return SaveStatus::Damaged;
    }
    SaveAfterWorldLoad();
    return SaveStatus::Ok;
}

// --- the file ----------------------------------------------------------------------

std::string SaveFilePath() { return saveFolder.empty() ? std::string() : saveFolder + "/" + kSaveFileName; }

bool SaveGameToFile() {
    if (saveFolder.empty()) return false;
    if (!MakeFolders(saveFolder)) {
        LogPrintf("\nSave: cannot make the folder %s", saveFolder.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes = SaveGameToBytes();
    if (WriteFileSafely(SaveFilePath().c_str(), bytes) != FileStatus::Ok) {
        LogPrintf("\nSave: cannot write %s", SaveFilePath().c_str());
        return false;
    }
    return true;
}

SaveStatus LoadGameFromFile() {
    if (saveFolder.empty()) return SaveStatus::Missing;
    std::vector<std::uint8_t> bytes;
    switch (ReadWholeFile(SaveFilePath().c_str(), bytes, kSaveMaxBytes)) {
    case FileStatus::Ok: break;
    case FileStatus::Missing: return SaveStatus::Missing;
    default: return SaveStatus::Unreadable;
    }
    return LoadGameFromBytes(bytes);
}

std::string KeepBadSaveAside() {
    const std::string path = SaveFilePath();
    if (path.empty()) return {};
    for (int i = 0; i < kBadNamesTried; ++i) {
        const std::string aside = path + ".bad" + (i ? std::to_string(i) : std::string());
        if (FileExists(aside.c_str())) continue;
        if (std::rename(path.c_str(), aside.c_str()) == 0) return aside;
        break;
    }
    LogPrintf("\nSave: cannot rename %s", path.c_str());
    return {};
}

// --- when the game saves ----------------------------------------------------------

bool AutosaveGame() {
    if (editor.open || worldError) return false;
    return SaveGameToFile();
}

void AutosaveAtNewDay() { AutosaveGame(); }

void SaveKeyStep() {
    if (!sigTable[kSaveSignal].fired || editor.open || saveFolder.empty()) return;
    PostMsg(AutosaveGame() ? "(Игра) сохранено"_w : "(Игра) не удалось сохранить"_w);
}

void SaveReset() { saveFolder.clear(); }
