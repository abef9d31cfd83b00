# SPDX-License-Identifier: GPL-3.0-or-later
# phbuffer-cli run --chart writes a PNG of the requested size, with no display at all.
file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
        ${CLI} --view buffer run --chart ${OUTPUT} --chart-size 640x480
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "phbuffer-cli failed with ${status}: ${out}${err}")
endif()
# The PNG signature, then the header chunk's width and height, big-endian.
file(READ ${OUTPUT} head LIMIT 24 HEX)
string(SUBSTRING "${head}" 0 16 signature)
string(SUBSTRING "${head}" 32 16 size)
if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT size STREQUAL "00000280000001e0")
    message(FATAL_ERROR "not a 640x480 PNG: ${head}")
endif()
