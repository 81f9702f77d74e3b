# Data files the program reads beside itself (Language/, resources.dll) are
# copied next to the built programs, so that a built program runs in place.

# The folder the programs are built into ($<CONFIG> appended for
# multi-config generators, which put programs into one sub-folder each).
function(hushgate_program_dir out)
    if(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
        set(dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    else()
        set(dir ${CMAKE_BINARY_DIR}/bin)
    endif()
    get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
    if(multi_config)
        string(APPEND dir "/$<CONFIG>")
    endif()
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

# hushgate_beside_program(<target> [FOLDER <sub-folder>] FILES <file>...)
# Adds the target <target>, built by default, that copies each file into the
# programs' folder (or its sub-folder), again whenever the file changes.
function(hushgate_beside_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "FILES")
    hushgate_program_dir(dir)
    if(arg_FOLDER)
        string(APPEND dir "/${arg_FOLDER}")
    endif()
    set(outputs)
    foreach(source IN LISTS arg_FILES)
        get_filename_component(name ${source} NAME)
        add_custom_command(
            OUTPUT ${dir}/${name}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${CMAKE_COMMAND} -E copy ${source} ${dir}/${name}
            DEPENDS ${source}
            COMMENT "Copying ${name} beside the programs"
            VERBATIM)
        list(APPEND outputs ${dir}/${name})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
