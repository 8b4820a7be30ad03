#error "kalmotex core: platform and Qt headers belong in src/backends/<backend> or the Qt layer"
