# Fails when a source file under src/ includes a header of a layer above its own, or
# when a folder other than src/ui/ includes a Qt header. Every library sees every
# header through the shared src/ include root, so the linker alone would not notice
# an inline function or a type taken from the wrong layer.
#   cmake -DSOURCE_DIR=<project root> -P LayerCheck.cmake
# Layers from the bottom up; each may include itself and the layers it names. The
# window reaches the writers and the walker only through the run driver; it knows
# the icon source interface of metadata because it implements it.
set(allowed_platform platform)
set(allowed_core core platform)
set(allowed_scan scan core platform)
set(allowed_metadata metadata scan core platform)
set(allowed_output output core platform)
set(allowed_run run output metadata scan core platform)
set(allowed_ui ui run metadata core platform)
set(layers platform core scan metadata output run ui)

set(violations "")
foreach(layer ${layers})
  file(GLOB_RECURSE sources "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp"
       "${SOURCE_DIR}/src/${layer}/*.in")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/")
        set(target "${CMAKE_MATCH_1}")
        list(FIND layers "${target}" known)
        list(FIND allowed_${layer} "${target}" permitted)
        if(known GREATER_EQUAL 0 AND permitted LESS 0)
          file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
          string(APPEND violations "  ${name}: ${line} (${layer} may include only: ${allowed_${layer}})\n")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND NOT layer STREQUAL "ui")
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        string(APPEND violations "  ${name}: ${line} (Qt headers belong in src/ui/ only)\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes against the layer order (ui -> run -> output, metadata -> scan -> core -> platform):\n${violations}")
endif()
message(STATUS "layer order kept")
