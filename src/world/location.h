// Locations on disk and their lifecycle: the location file (the grid), the
// figure file (the figures on it), LoadMortFrom, and the operations that
// fill the grid: start game location, load from a file, new ground for the
// editor. Readers parse byte spans; writers build the bytes and replace the
// old file only when the whole file was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "io/binary.h"

struct Fgr;

inline constexpr std::size_t kLocHeaderBytes = 16;
inline constexpr std::size_t kLocCellBytes = 12;
inline constexpr std::size_t kLocFileBytes = kLocHeaderBytes + 65536 * kLocCellBytes;

// The grid's cells as the location file lays them out, kLocCellBytes each
// in cell order (the saved game holds them the same way). Reading clears
// the cells' figure links.
void WriteGridCells(std::uint8_t* out);
void ReadGridCells(const std::uint8_t* in);
inline constexpr std::size_t kFgrRecordBytes = 905;
inline constexpr char kFgrMarker[9] = "Fgr#----";
inline constexpr int kLocNameBytes = 256;

inline constexpr const char* kStartLocation = "etap1";
inline constexpr const char* kStartFigures = "etap1.fgr";

// Picture loads of a location, installed by the drawing code (null: skipped).
// Overlay: 1 loaded, 0 read but no image data, -1 could not be read.
extern int (*locationLoadOverlay)(int number);
// Tile set: 1 loaded, 0 stopped at a missing picture.
extern int (*locationLoadTileset)(int number);

// The overview picture: one RGB pixel per cell in cell order; the serial
// grows at every rebuild so the map window knows when to upload it again,
// each row keeps the serial of its last change and the full serial that of
// the last whole rebuild (so an upload can send only the rows that changed).
extern std::uint8_t locationOverview[65536 * 3];
extern int locationOverviewSerial;
extern int locationOverviewRowSerial[256];
extern int locationOverviewFullSerial;
void BuildLocationOverview();
// The overview's pixels of the square of cells within radius of cell h.
void RefreshOverviewAround(int h, int radius);

// --- location file ------------------------------------------------------------

// Reads the header and the cells into masKle (links cleared, border codes
// written). False, with the grid untouched, when the sizes are not 256 or
// the file is shorter than a full grid.
bool ParseLocation(std::span<const std::uint8_t> bytes);
void WriteLocation(ByteWriter& w);

// --- figure file ----------------------------------------------------------------

// One figure record into f. False (f free) on a short record or an unknown
// kind; bad words are mended and logged.
bool LoadMortFrom(Fgr* f, ByteReader& r);
void WriteFigureRecord(ByteWriter& w, const Fgr* f);

// A unit of monster type 5..8 of that type's kind: a start point on loading.
bool FgrIsMonsterStartPoint(const Fgr* f);

// Whole figure file: -1 when ignored (short count, negative or above 6000),
// else the number of figures loaded into slots 1..n. Collects monster start
// points.
int ParseFigures(std::span<const std::uint8_t> bytes);
void WriteFigures(ByteWriter& w);

// --- files and lifecycle -----------------------------------------------------------

// Load location from a file (grid, pictures, overview). False when missing
// or ignored.
bool LoadLocationFile(const char* name);
// The overlay and tile set a freshly parsed grid names, then its overview.
void LoadLocationPictures();
// Figure file by name; -1 when missing or ignored, else figures loaded.
int LoadFigureFile(const char* name);
// Writes name and name + ".fgr" safely. True when both were written.
bool SaveLocation(const char* name);

// Start game location: grid fill, etap1 and etap1.fgr, population, monsters
// at start points, "\n\nStart ..." in the log.
void StartGameLocation();
// Plain ground with a random plain tile (1..4) in every interior cell.
void FillPlainGround();
// New plain ground (the editor's "new"): plain tiles, border, overlay and
// tile set 1, the fixed plain cells near the centre, the overview.
void NewGround();

// The shell's StartWorld: start game location.
void WorldStart();

// Grid, figures, pools, editor flags and start points back to the start
// values (tests).
void WorldReset();
// A new game's figures: an empty table and pools, no cell names a figure,
// no townspeople, lairs or start points; installed life step kept.
void WorldFiguresClear();
