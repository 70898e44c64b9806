# The program's default typeface is read from the file that fontconfig picks, with FreeType,
# without the framework's opening of every installed font (look/FontFileTypeface,
# platform/SystemFontFiles).
find_package(Fontconfig REQUIRED)
find_package(Freetype REQUIRED)
target_link_libraries(vantorel_core PUBLIC Fontconfig::Fontconfig Freetype::Freetype)
