'use strict';
// A left click on a head seen in the picture selects that funnie, and the camera turns to it.
const {run} = require('../web_lib');
const {pickSeenHead} = require('../pick_head');

run(pickSeenHead);
