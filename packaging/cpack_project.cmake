# Read by CPack before it makes each package (CPACK_PROJECT_CONFIG_FILE):
# CPack takes the times it writes from SOURCE_DATE_EPOCH, which the
# environment may set; otherwise it is the one worked out when configuring
# (packaging/reproducible.cmake).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_PALLIMORVENQUIST_SOURCE_DATE_EPOCH})
endif()
