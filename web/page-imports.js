// The page's functions the panel's module imports (web/WebPage.h); the page
// supplies them when it instantiates the module.
mergeInto(LibraryManager.library, {
  dm_page_parameter_edited: function () {},
  dm_page_open_entry: function () {},
  dm_page_read_entry: function () {},
  dm_page_close_entry: function () {},
  dm_page_open_link: function () { return 0; },
});
