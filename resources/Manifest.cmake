# The manifest names the program's own architecture: Windows refuses to start
# an x86_64 program whose manifest says x86.
#   reflasher_configure_manifest(<x86|amd64> <folder>)
# writes <folder>/Reflasher.manifest, which Reflasher.rc finds on its include path.
function(reflasher_configure_manifest arch folder)
  set(REFLASHER_MANIFEST_ARCH ${arch})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Reflasher.manifest.in ${folder}/Reflasher.manifest @ONLY)
endfunction()

# The architecture a Windows tree builds for, as the manifest spells it.
function(reflasher_manifest_arch_of_tree out)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(${out} amd64 PARENT_SCOPE)
  else()
    set(${out} x86 PARENT_SCOPE)
  endif()
endfunction()
