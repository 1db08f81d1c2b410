# The executables' tests run the programs themselves.
if(TARGET test_app)
  add_dependencies(test_app brellix2k brellixnt)
  target_compile_definitions(test_app PRIVATE BRX_APP_DIR="${PROJECT_BINARY_DIR}/src/app")
endif()
