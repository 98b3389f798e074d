# Seeds and input size of every fuzz target (see bd_add_fuzz). Seeds: globs
# relative to the built runtime folder, "src:<glob>" in the source tree, or
# "<name>=<part>+<part>" for a seed joined from files. -max_len is the real
# size of the format (its largest real file, or its fixed size).
set(bd_fuzz_seeds_fuzz_konfig "konfig.txt.example")
set(bd_fuzz_max_len_fuzz_konfig 256)
set(bd_fuzz_seeds_fuzz_msgbase "uni_files/res/msgbase.txt")
set(bd_fuzz_max_len_fuzz_msgbase 2048)
set(bd_fuzz_seeds_fuzz_paintword "uni_files/res/paintword.txt")
set(bd_fuzz_max_len_fuzz_paintword 2048)
set(bd_fuzz_seeds_fuzz_sig "uni_files/res/sig.txt")
set(bd_fuzz_max_len_fuzz_sig 4096)
set(bd_fuzz_seeds_fuzz_tex_list "uni_files/res/pix_start.txt")
set(bd_fuzz_max_len_fuzz_tex_list 16384)
set(bd_fuzz_seeds_fuzz_font_desc "uni_files/res/_tfonts.txt")
set(bd_fuzz_max_len_fuzz_font_desc 16384)
# Sprites and tiles (4..64 KB, most of the pictures); fonts and the HUD's
# large pictures go through the same decoder.
set(bd_fuzz_seeds_fuzz_targa "uni_files/res/pix/cursor.tga" "uni_files/res/rpg/tileset1/_norm1.tga"
    "uni_files/res/rpg/land-nak001.tga")
set(bd_fuzz_max_len_fuzz_targa 65554)
set(bd_fuzz_max_len_fuzz_raw_image 65548)
# The effect list and the effects (all but the music, 3..15 KB).
set(bd_fuzz_seeds_fuzz_sound_list "uni_files/res/zvu_start.txt" "uni_files/res/zvu/e0*.wav")
set(bd_fuzz_max_len_fuzz_sound_list 16384)
set(bd_fuzz_seeds_fuzz_text_list "uni_files/res/dlg_*.txt" "uni_files/_about.txt")
set(bd_fuzz_max_len_fuzz_text_list 8192)
set(bd_fuzz_seeds_fuzz_location "etap1")
set(bd_fuzz_max_len_fuzz_location 786448)
set(bd_fuzz_seeds_fuzz_figures "etap1.fgr")
set(bd_fuzz_max_len_fuzz_figures 266979)
# One mode byte (1: location then figures), then the start pair.
set(bd_fuzz_seeds_fuzz_editor_open "etap1_pair=src:tests/fuzz_corpus/one.bin+etap1+etap1.fgr")
set(bd_fuzz_max_len_fuzz_editor_open 1053428)
set(bd_fuzz_seeds_fuzz_save "")
set(bd_fuzz_max_len_fuzz_save 4096)
set(bd_fuzz_seeds_fuzz_paint "")
set(bd_fuzz_max_len_fuzz_paint 1024)
set(bd_fuzz_seeds_fuzz_map_source "src:data/world/etap1_*.txt")
set(bd_fuzz_max_len_fuzz_map_source 131072)
