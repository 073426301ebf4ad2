# Each target exports only its own folder of src/, through a folder of its
# own in the build tree that holds one link named like the source folder
# ("exports/cbeam_model/model" -> src/model). A file then finds
# "folder/header.h" only for the targets its target links: the compiler
# itself refuses an include of a higher layer.
function(cbeam_export_folder target)
  file(RELATIVE_PATH rel "${CMAKE_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(root "${CMAKE_BINARY_DIR}/exports/${target}")
  get_filename_component(parent "${root}/${rel}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT EXISTS "${root}/${rel}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${rel}" SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()
