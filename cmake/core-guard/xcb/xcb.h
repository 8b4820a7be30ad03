#error "kalmotex core: platform and Qt headers belong in src/platform/<backend> or the Qt layer"
