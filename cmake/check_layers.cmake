# Refuses an #include that points up the floors of src/. Run as
#   cmake -DSRC=<src folder> -P check_layers.cmake
# Each folder may include its own headers, those of its own top folder
# (graph/ui may include graph/) and those of any lower floor; a few pairs on
# one floor are named below. The plain C++ floors include no Qt header.

cmake_minimum_required(VERSION 3.25)

# Floors from the bottom up.
set(floor_replay 0)
set(floor_settings 1)
set(floor_track 2)
set(floor_reports 2)
set(floor_records 2)
set(floor_interaction 2)
set(floor_controls 3)
set(floor_interaction/ui 3)
set(floor_track/ui 3)
set(floor_document 4)
set(floor_graph 5)
set(floor_graph/ui 5)
set(floor_tools 5)
set(floor_tools/ui 5)
set(floor_reports/ui 5)
set(floor_records/ui 5)
set(floor_app 6)
set(floor_app/ui 6)

# Neighbours on one floor: the records scan reports through the seam; the
# controls take the text codec, and the seam's Qt answers show the controls'
# "Please wait" box.
set(neighbours "records>interaction;controls>interaction/ui;interaction/ui>controls")
set(qt_free replay settings track reports records interaction document)

if(NOT SRC)
  message(FATAL_ERROR "check_layers: SRC is not set")
endif()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(faults "")
foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  if(NOT DEFINED floor_${folder})
    list(APPEND faults "${source}: its folder has no floor in cmake/check_layers.cmake")
    continue()
  endif()
  string(REGEX REPLACE "/.*" "" top "${folder}")
  file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    if(line MATCHES "<Q[A-Za-z]*>" OR line MATCHES "<Qt[A-Za-z]*/")
      if(folder IN_LIST qt_free)
        list(APPEND faults "${source}: Qt in a plain C++ floor: ${line}")
      endif()
      continue()
    endif()
    if(NOT line MATCHES "\"([a-z_0-9]+(/ui)?)/[^/\"]+\"")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    if(NOT DEFINED floor_${target})
      continue()
    endif()
    string(REGEX REPLACE "/.*" "" target_top "${target}")
    if((target_top STREQUAL top AND NOT floor_${target} GREATER floor_${folder})
       OR floor_${target} LESS floor_${folder} OR "${folder}>${target}" IN_LIST neighbours)
      continue()
    endif()
    list(APPEND faults "${source}: ${folder} includes ${target}, which is not below it: ${line}")
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that point up the floors of src/:\n  ${text}")
endif()
