# vesk_compile_rc(<target> <output .res> <input .rc> [DEPENDS files...])
# Compiles a Windows resource script with windres into a .res file (the 32-bit resource
# format the platform reads). The script's own folder is on the include path, so bitmaps
# and icons are named relative to it.
find_program(VESK_WINDRES NAMES i686-w64-mingw32-windres REQUIRED)

function(vesk_compile_rc target output input)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  get_filename_component(input_dir ${input} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${VESK_WINDRES} --preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
            -I ${input_dir} -J rc -O res -i ${input} -o ${output}
    DEPENDS ${input} ${ARG_DEPENDS}
    COMMENT "Compiling resources ${input}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${output})
endfunction()
