// Fixed data paths, relative to the working directory (the start directory).
#pragma once

inline constexpr const char* kPathKonfig = "konfig.txt";
inline constexpr const char* kPathMsgBase = "uni_files/res/msgbase.txt";
inline constexpr const char* kPathResFolder = "uni_files/res";
inline constexpr const char* kPathPixStart = "uni_files/res/pix_start.txt";
inline constexpr const char* kPathSig = "uni_files/res/sig.txt";
inline constexpr const char* kPathZvuStart = "uni_files/res/zvu_start.txt";
inline constexpr const char* kPathPaintWord = "uni_files/res/paintword.txt";
inline constexpr const char* kPathPaintDump = "uni_files/test_paint.txt";
inline constexpr const char* kPathAbout = "uni_files/_about.txt";
inline constexpr const char* kPathLog = "uni_files/log.txt";
