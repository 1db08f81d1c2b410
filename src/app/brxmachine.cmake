# brxmachine: creates machines and shows their state.
add_executable(brxmachine ${CMAKE_CURRENT_LIST_DIR}/brxmachine.cpp)
target_link_libraries(brxmachine PRIVATE brx_platform)
