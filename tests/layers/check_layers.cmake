# Fails when a source file includes a header of a layer above its own, or
# when the engine reaches for the application's session.
# The layers, lowest first: model, state, then unfold, pattern and scene (the
# 3D view's camera and picking arithmetic) beside each other, formats,
# session, then app and cli beside each other. A folder may include its
# own headers and those of any lower layer, never those of a higher layer or
# of a neighbour on the same level. Nothing under unfold, pattern or formats
# may name appState: engine functions take what they read.
#   cmake -DSOURCE_DIR=<src folder> -P check_layers.cmake
cmake_policy(SET CMP0007 NEW)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

set(rank_model 0)
set(rank_state 1)
set(rank_unfold 2)
set(rank_pattern 2)
set(rank_scene 2)
set(rank_formats 3)
set(rank_session 4)
set(rank_app 5)
set(rank_cli 5)
set(layers model state unfold pattern scene formats session app cli)
set(engine_layers unfold pattern formats)

set(violations "")
foreach(layer ${layers})
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file ${files})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
      if(target STREQUAL layer OR NOT DEFINED rank_${target})
        continue()
      endif()
      if(NOT rank_${target} LESS rank_${layer})
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        list(APPEND violations "${shown} (${layer}) includes ${target}/: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

foreach(layer ${engine_layers})
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file ${files})
    file(STRINGS "${file}" uses REGEX "appState")
    if(uses)
      file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
      list(GET uses 0 first)
      string(STRIP "${first}" first)
      string(REPLACE ";" "" first "${first}")
      list(APPEND violations "${shown} (${layer}) uses the application's session: ${first}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that look up or sideways, or engine code on the application's session:\n  ${text}")
endif()
message(STATUS "Every include looks down; the engine takes what it reads.")
