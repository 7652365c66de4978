# The browser build's test: headless Chromium opens the page and drives it over its DevTools
# protocol.
enable_testing()
add_test(NAME web_page
         COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tests/web/page_test.py
                 --page-dir ${CMAKE_BINARY_DIR} --screenshot ${CMAKE_BINARY_DIR}/browser.png)
set_tests_properties(web_page PROPERTIES LABELS browser TIMEOUT 300)
