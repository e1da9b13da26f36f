# The Win32 firmware sources under Wine, in a program that carries the synthetic
# image as resource 204 and in one that carries none.
set(_embedded_rc ${CMAKE_CURRENT_BINARY_DIR}/firmware_source_test_image.rc)
file(CONFIGURE OUTPUT ${_embedded_rc} CONTENT
  "LANGUAGE 9, 1\n204 RT_BINARY \"${REFLASHER_SYNTHETIC_FIRMWARE}\"\n")
set_source_files_properties(${_embedded_rc} PROPERTIES OBJECT_DEPENDS ${REFLASHER_SYNTHETIC_FIRMWARE})

reflasher_add_wine_test(win32_firmware_source_test
  SOURCES win32_firmware_source_test.cpp ${_embedded_rc}
  LIBRARIES reflasher_update_win32)
target_compile_definitions(win32_firmware_source_test PRIVATE REFLASHER_TEST_EMBEDS_IMAGE)
add_dependencies(win32_firmware_source_test synthetic_firmware)
set_property(TEST win32_firmware_source_test APPEND PROPERTY
  ENVIRONMENT "REFLASHER_SYNTHETIC_FIRMWARE=${REFLASHER_SYNTHETIC_FIRMWARE}")

reflasher_add_wine_test(win32_firmware_source_none_test
  SOURCES win32_firmware_source_test.cpp
  LIBRARIES reflasher_update_win32)
