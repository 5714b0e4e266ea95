cmake_minimum_required(VERSION 3.25)

# Fails when a file includes a header of a layer above its own, or Qt outside the desktop layer.
# Run as: cmake -DSOURCE_DIR=<root> -P check_include_direction.cmake
#
# The build enforces the same through each target's include folders; this check also covers
# headers no target compiles on its own, and names the offending line.

# What each layer may include, its own headers included.
set(allowed_base base)
set(allowed_engine base engine)
set(allowed_config base config)
set(allowed_scratchpad base engine config scratchpad)
set(allowed_app base engine config scratchpad app)
set(allowed_cli base engine config scratchpad cli)
set(allowed_ui base engine config scratchpad app ui)
set(layers base engine config scratchpad app cli ui)

set(violations 0)
foreach(tree src tests)
  foreach(layer IN LISTS layers)
    file(GLOB_RECURSE files "${SOURCE_DIR}/${tree}/${layer}/*.h" "${SOURCE_DIR}/${tree}/${layer}/*.cpp")
    foreach(file IN LISTS files)
      file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
      file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
      foreach(line IN LISTS includes)
        if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/")
          set(target_layer "${CMAKE_MATCH_1}")
          if(target_layer IN_LIST layers AND NOT target_layer IN_LIST allowed_${layer})
            list(JOIN allowed_${layer} ", " names)
            message("${shown}: ${line}  -- ${layer} may include only ${names}")
            math(EXPR violations "${violations} + 1")
          endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)" AND NOT layer STREQUAL "ui")
          message("${shown}: ${line}  -- only ui may include Qt")
          math(EXPR violations "${violations} + 1")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} includes against the layer order")
endif()
message(STATUS "Every include follows the layer order.")
