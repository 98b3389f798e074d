// Saved games: one file in the player's data folder that holds everything
// a game needs to go on exactly where it stopped.
//
// File layout (little-endian): a 32-byte header, then the body.
//   0  "BrdmSave"            8 bytes
//   8  version               int32 (kSaveVersion)
//   12 header bytes          int32 (32)
//   16 body bytes            int32
//   20 section count         int32
//   24 figure slots          int32 (6000: a table of another size is foreign)
//   28 CRC-32 of the body    uint32
// The body is a list of sections in a fixed order, each a 4-byte tag, an
// int32 length and the state of one subsystem (save_sections.h). Reading
// checks the header, then every value of every section against its range
// (slot, cell and pool numbers, kinds, counters); a save that fails any
// check is refused whole and the game's state stays as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr char kSaveMagic[9] = "BrdmSave";
inline constexpr std::int32_t kSaveVersion = 2;
inline constexpr std::size_t kSaveHeaderBytes = 32;
inline constexpr std::size_t kSaveMaxBytes = 64u << 20;
inline constexpr const char* kSaveFolderName = "brindoma";
inline constexpr const char* kSaveFileName = "save.bsv";

enum class SaveStatus {
    Ok,
    Missing,      // no file
    Unreadable,   // not a plain file, too large, read error
    Foreign,      // wrong magic, header or table sizes
    Newer,        // written by a later version of the game
    Damaged,      // checksum, truncation, or a value out of its range
};

// The whole game state as save-file bytes.
std::vector<std::uint8_t> SaveGameToBytes();
// Restores the game state from save-file bytes. Anything but Ok leaves the
// state exactly as it was before the call.
SaveStatus LoadGameFromBytes(std::span<const std::uint8_t> bytes);
// CRC-32 (IEEE) of bytes.
std::uint32_t SaveChecksum(std::span<const std::uint8_t> bytes);

// --- the file -------------------------------------------------------------------

// Folder of the save, e.g. "$XDG_DATA_HOME/brindoma"; empty: saving is off
// (tests that do not set it never write one).
extern std::string saveFolder;
// saveFolder + "/" + kSaveFileName, or empty.
std::string SaveFilePath();
// Makes the folder when needed and writes the save through a temporary
// file and a rename; the previous save stays until the new one is complete.
// False when saving is off or the write failed.
bool SaveGameToFile();
// Reads and restores the save file.
SaveStatus LoadGameFromFile();
// Renames a refused save (file or anything in its place) to the first free
// name "save.bsv.bad", "save.bsv.bad1", ... so it is kept, not deleted.
// The new name, or empty when the rename failed.
std::string KeepBadSaveAside();

// --- when the game saves -----------------------------------------------------

// Automatic saves (new day, end of the main loop): nothing while the
// editor is open or after a fatal world error.
bool AutosaveGame();
// The day cycle calls this when a new game day begins.
void AutosaveAtNewDay();
// Once per frame after the world update: signal 11 (F5) saves and posts
// "(Игра) сохранено" to the feed.
void SaveKeyStep();

// The save module's own state back to its start (saving off).
void SaveReset();
