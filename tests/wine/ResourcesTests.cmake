# The resource script through the real Win32 loaders: the test program links
# the same compiled resources as Reflasher.exe.
reflasher_add_wine_test(resources_load_test
  SOURCES resources_load_test.cpp
  LIBRARIES reflasher_resources comctl32 msimg32 gdi32 version)
