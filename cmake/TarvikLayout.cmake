# Window layouts compiled into the program.
#
# tarvik_layout_resource(<target> <layout source> <resource name>)
#   Embeds the layout as an RCDATA resource named <resource name> in <target>
#   (Windows builds). Call it in the directory that defines <target>. The
#   build rewrites the layout with EmbedLayout.cmake whenever the source or a
#   file it names with file("...") changes.
#
# tarvik_layout_text(<layout source> <output file>)
#   Only the build step: writes the resource's text to <output file>; some
#   target of the same directory must list <output file> as a source.

set(TARVIK_EMBED_LAYOUT ${CMAKE_CURRENT_LIST_DIR}/EmbedLayout.cmake)

# enable_language() is refused inside functions, so it happens here, at the
# top level where this file is included.
if(WIN32)
    enable_language(RC)
endif()

function(tarvik_layout_text source output)
    get_filename_component(source "${source}" ABSOLUTE)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DOUTPUT=${output} -DDEPFILE=${output}.d
                -P ${TARVIK_EMBED_LAYOUT}
        DEPENDS ${source} ${TARVIK_EMBED_LAYOUT}
        DEPFILE ${output}.d
        COMMENT "Embedding window layout ${source}"
        VERBATIM)
    set_source_files_properties(${output} PROPERTIES HEADER_FILE_ONLY ON)
endfunction()

function(tarvik_layout_resource target source name)
    if(NOT WIN32)
        message(FATAL_ERROR "tarvik_layout_resource: resources exist in Windows builds only")
    endif()
    set(text ${CMAKE_CURRENT_BINARY_DIR}/${name}.layout)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.layout.rc)
    tarvik_layout_text(${source} ${text})
    file(CONFIGURE OUTPUT ${rc} CONTENT "${name} RCDATA \"${text}\"\n" @ONLY)
    # windres reports no dependencies: rebuild the resource when the text changes.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${text})
    target_sources(${target} PRIVATE ${rc} ${text})
endfunction()
