# Builds the bitmaps, the program icon and the banner from the readable
# sources in resources/art.  The includer sets TULVAR_GEN_DIR and
# Python3_EXECUTABLE; this sets TULVAR_IMAGE_OUTPUTS.  Custom-command outputs
# only get build rules in this directory, so the target consuming them
# (the .rc and the form description) must live here too.

find_program(TULVAR_CJPEG cjpeg REQUIRED)

get_filename_component(_tulvar_tools "${CMAKE_CURRENT_LIST_DIR}/../tools" ABSOLUTE)
set(_tulvar_art "${CMAKE_CURRENT_LIST_DIR}/art")
set(_tulvar_pixelart "${_tulvar_tools}/pixelart.py")
set(_tulvar_banner "${_tulvar_tools}/banner.py")

set(_tulvar_bitmaps
    zoomin zoomout copy save
    floppy hard network cdrom ram
    closedfolder openfolder currentfolder executable unknownfile
    previewglyph)

set(TULVAR_IMAGE_OUTPUTS "")

foreach(_name IN LISTS _tulvar_bitmaps)
    add_custom_command(
        OUTPUT "${TULVAR_GEN_DIR}/${_name}.bmp"
        COMMAND "${Python3_EXECUTABLE}" "${_tulvar_pixelart}" bmp
                "${_tulvar_art}/${_name}.txt" "${TULVAR_GEN_DIR}/${_name}.bmp"
        DEPENDS "${_tulvar_pixelart}" "${_tulvar_art}/${_name}.txt"
        COMMENT "Drawing ${_name}.bmp"
        VERBATIM)
    list(APPEND TULVAR_IMAGE_OUTPUTS "${TULVAR_GEN_DIR}/${_name}.bmp")
endforeach()

add_custom_command(
    OUTPUT "${TULVAR_GEN_DIR}/program.ico"
    COMMAND "${Python3_EXECUTABLE}" "${_tulvar_pixelart}" ico
            "${_tulvar_art}/program.txt" "${TULVAR_GEN_DIR}/program.ico"
    DEPENDS "${_tulvar_pixelart}" "${_tulvar_art}/program.txt"
    COMMENT "Drawing program.ico"
    VERBATIM)
list(APPEND TULVAR_IMAGE_OUTPUTS "${TULVAR_GEN_DIR}/program.ico")

# The banner's strip borrows some list glyphs, so their art is a dependency too.
set(_tulvar_banner_art "")
foreach(_name closedfolder executable unknownfile cdrom hard)
    list(APPEND _tulvar_banner_art "${_tulvar_art}/${_name}.txt")
endforeach()

add_custom_command(
    OUTPUT "${TULVAR_GEN_DIR}/banner.jpg"
    BYPRODUCTS "${TULVAR_GEN_DIR}/banner.ppm"
    COMMAND "${Python3_EXECUTABLE}" "${_tulvar_banner}"
            "${TULVAR_GEN_DIR}/banner.ppm" "${_tulvar_art}"
    COMMAND "${TULVAR_CJPEG}" -quality 90 -optimize -sample 1x1
            -outfile "${TULVAR_GEN_DIR}/banner.jpg" "${TULVAR_GEN_DIR}/banner.ppm"
    DEPENDS "${_tulvar_banner}" "${_tulvar_pixelart}" ${_tulvar_banner_art}
    COMMENT "Drawing banner.jpg"
    VERBATIM)
list(APPEND TULVAR_IMAGE_OUTPUTS "${TULVAR_GEN_DIR}/banner.jpg")

unset(_name)
