# Embedded resources: the XML documents and pictures under resources/ and the
# stand-in firmware images become sources of the core library at build time,
# written by a small host program (no Python needed to build).

add_executable(vantorel_embed_resources ${CMAKE_SOURCE_DIR}/cmake/resources/EmbedResources.cpp)

set(VANTOREL_RESOURCE_OUTPUT ${CMAKE_BINARY_DIR}/generated/resources)
file(MAKE_DIRECTORY ${VANTOREL_RESOURCE_OUTPUT})

file(GLOB VANTOREL_DOCUMENT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/documents/*.xml)
set(VANTOREL_PICTURE_FILES
    ${CMAKE_SOURCE_DIR}/resources/pictures/vellIcon.png
    ${CMAKE_SOURCE_DIR}/resources/pictures/vellLogo.png)
set(VANTOREL_GENERATED_RESOURCES
    ${VANTOREL_RESOURCE_OUTPUT}/EmbeddedDocumentsData.cpp
    ${VANTOREL_RESOURCE_OUTPUT}/FirmwareImagesData.cpp
    ${VANTOREL_RESOURCE_OUTPUT}/NamedResourcesData.cpp)

# The helper rewrites a source only when its content changes; the stamp keeps
# the step from running again when nothing it reads has changed.
add_custom_command(
    OUTPUT ${VANTOREL_RESOURCE_OUTPUT}/embedded.stamp
    BYPRODUCTS ${VANTOREL_GENERATED_RESOURCES}
    COMMAND vantorel_embed_resources
        ${CMAKE_SOURCE_DIR}/resources/documents
        ${CMAKE_SOURCE_DIR}/resources/pictures
        ${VANTOREL_RESOURCE_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E touch ${VANTOREL_RESOURCE_OUTPUT}/embedded.stamp
    DEPENDS vantorel_embed_resources
        ${CMAKE_SOURCE_DIR}/resources/documents/manifest.txt
        ${VANTOREL_DOCUMENT_FILES}
        ${VANTOREL_PICTURE_FILES}
    COMMENT "Embedding documents, pictures and firmware images"
    VERBATIM)

add_custom_target(vantorel_embedded_resources DEPENDS ${VANTOREL_RESOURCE_OUTPUT}/embedded.stamp)
add_dependencies(vantorel_core vantorel_embedded_resources)
target_sources(vantorel_core PRIVATE ${VANTOREL_GENERATED_RESOURCES})
