# The drop target component (no Qt), built on the format layer above.
add_library(foliotally_drop_target STATIC
  async_operation.h
  auto_scroll.cpp auto_scroll.h
  control_list.cpp control_list.h
  custom_drop_multi_target.cpp custom_drop_multi_target.h
  custom_drop_target.cpp custom_drop_target.h
  drag_drop_component.cpp drag_drop_component.h
  drop_effects.cpp drop_effects.h
  drop_file_target.cpp drop_file_target.h
  drop_geometry.h
  drop_platform.h
  drop_target_registration.cpp
  drop_target_scrolling.cpp
  drop_target_transfer.cpp)
target_include_directories(foliotally_drop_target PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(foliotally_drop_target PUBLIC foliotally_dragdrop Threads::Threads)
