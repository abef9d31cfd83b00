# SPDX-License-Identifier: GPL-3.0-or-later
# Saves the start-up water with the real binary, in the environment the test gives it,
# and compares the file byte for byte with EXPECTED.
#   cmake -DCLI=<phbuffer-cli> -DOUTPUT=<file> -DEXPECTED=<file> -P save_under_locale.cmake
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${CLI}" save "${OUTPUT}" RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "phbuffer-cli save failed (${status}): ${errors}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}"
                RESULT_VARIABLE different)
if(different)
    file(READ "${OUTPUT}" written HEX)
    message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}; it holds (hex): ${written}")
endif()
