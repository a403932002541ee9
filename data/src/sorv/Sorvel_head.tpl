<?xml version="1.0" encoding="UTF-8"?>
<!--
  Sorvel album, head part: an XHTML page read as XML, built by appending this
  head, one Sorvel_loop.tpl per photo and Sorvel_foot.tpl. The player
  (Sorvel.js) reads the values below and builds the album.
  This part holds the 25 layout tokens (#THUMB_FRAME_...#, #SLIDE_FRAME_...#,
  #BACKBUTTON_...#, #NEXTBUTTON_...#, #TEXT_FRAME_...#). Values are inserted
  unescaped, so every token must stay alone inside its CDATA section.
-->
<html xmlns="http://www.w3.org/1999/xhtml" lang="en">
<head>
<meta name="viewport" content="width=device-width, initial-scale=1"/>
<title>Photo album</title>
<style>
#sorvel-data { display: none; }
#sorvel-notice { font: 15px/1.4 sans-serif; margin: 2em; }
</style>
</head>
<body>
<p id="sorvel-notice">This photo album needs JavaScript to show its photos.</p>
<div id="sorvel-data">
<div id="sorvel-layout">
<span data-field="thumb_x"><![CDATA[#THUMB_FRAME_X_POSITION#]]></span>
<span data-field="thumb_y"><![CDATA[#THUMB_FRAME_Y_POSITION#]]></span>
<span data-field="thumb_w"><![CDATA[#THUMB_FRAME_WIDTH#]]></span>
<span data-field="thumb_h"><![CDATA[#THUMB_FRAME_HEIGHT#]]></span>
<span data-field="thumb_p"><![CDATA[#THUMB_FRAME_PADDING#]]></span>
<span data-field="thumb_s"><![CDATA[#THUMB_FRAME_SPACING#]]></span>
<span data-field="thumb_r"><![CDATA[#THUMB_FRAME_ROW#]]></span>
<span data-field="thumb_c"><![CDATA[#THUMB_FRAME_COLUMN#]]></span>
<span data-field="thumb_ln"><![CDATA[#THUMB_FRAME_BORDER_COLOR#]]></span>
<span data-field="thumb_bg"><![CDATA[#THUMB_FRAME_BACKGROUND_COLOR#]]></span>
<span data-field="thumb_a"><![CDATA[#THUMB_FRAME_ALPHA#]]></span>
<span data-field="slide_x"><![CDATA[#SLIDE_FRAME_X_POSITION#]]></span>
<span data-field="slide_y"><![CDATA[#SLIDE_FRAME_Y_POSITION#]]></span>
<span data-field="slide_p"><![CDATA[#SLIDE_FRAME_PADDING#]]></span>
<span data-field="slide_ln"><![CDATA[#SLIDE_FRAME_BORDER_COLOR#]]></span>
<span data-field="slide_bg"><![CDATA[#SLIDE_FRAME_BACKGROUND_COLOR#]]></span>
<span data-field="slide_a"><![CDATA[#SLIDE_FRAME_ALPHA#]]></span>
<span data-field="bbutton_x"><![CDATA[#BACKBUTTON_X_POSITION#]]></span>
<span data-field="bbutton_y"><![CDATA[#BACKBUTTON_Y_POSITION#]]></span>
<span data-field="nbutton_x"><![CDATA[#NEXTBUTTON_X_POSITION#]]></span>
<span data-field="nbutton_y"><![CDATA[#NEXTBUTTON_Y_POSITION#]]></span>
<span data-field="caption_w"><![CDATA[#TEXT_FRAME_WIDTH#]]></span>
<span data-field="caption_h"><![CDATA[#TEXT_FRAME_HEIGHT#]]></span>
<span data-field="caption_ln"><![CDATA[#TEXT_FRAME_BORDER_COLOR#]]></span>
<span data-field="caption_bg"><![CDATA[#TEXT_FRAME_BACKGROUND_COLOR#]]></span>
</div>
<div id="sorvel-photos">
