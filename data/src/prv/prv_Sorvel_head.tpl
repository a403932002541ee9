<?xml version="1.0" encoding="UTF-8"?>
<!--
  Album preview of the batch window, head part: the album's own head
  (Sorvel_head.tpl) for a preview album built of this head, copies of
  prv_Sorvel_loop.tpl and prv_Sorvel_foot.tpl. It names the album and keeps
  the player to the layout arrangement, scaled to the preview's size.
  This part holds the 25 layout tokens (#THUMB_FRAME_...#, #SLIDE_FRAME_...#,
  #BACKBUTTON_...#, #NEXTBUTTON_...#, #TEXT_FRAME_...#). Values are inserted
  unescaped, so every token must stay alone inside its CDATA section, and no
  token may stand in an attribute.
-->
<html xmlns="http://www.w3.org/1999/xhtml" lang="en">
<head>
<meta charset="UTF-8"/>
<meta name="viewport" content="width=device-width, initial-scale=1"/>
<meta name="sorvel-arrangement" content="layout"/>
<title>Album preview</title>
<!-- A document read as XML ignores <noscript>: the photo list below is shown
     unless a script runs. This mark hides it before it is drawn, and is
     taken away again when the player cannot start, so the list comes back. -->
<script>
document.documentElement.setAttribute('data-script', 'on');
window.addEventListener('load', function () {
  if (!document.documentElement.hasAttribute('data-player')) document.documentElement.removeAttribute('data-script');
});
</script>
<script src="prv_photos.js"/>
<style>
/* The preview is a miniature of the layout alone: no title bar and tools. */
#album-header { display: none; }
html[data-script] #sorvel-fallback, #sorvel-layout { display: none; }
#sorvel-fallback { font: 16px/1.5 system-ui, "DejaVu Sans", sans-serif; color: #1A1A1A;
  background: #FFFFFF; margin: 0 auto; padding: 1em; max-width: 50em; }
#sorvel-fallback a { color: #0B57D0; }
#sorvel-photos { padding-left: 2em; }
.sorvel-photo { margin: 0.6em 0; overflow-wrap: anywhere; }
.sorvel-photo > span { display: none; }
.sorvel-photo > [data-field="slide_src"], .sorvel-photo > [data-field="description"] { display: block; }
.sorvel-photo > [data-field="slide_src"] { font-weight: bold; }
.sorvel-photo > [data-field="date"] { display: block; color: #4A4A4A; }
</style>
</head>
<body>
<div id="sorvel-fallback">
<h1 id="sorvel-title">Album preview</h1>
<p>The preview shows the album with JavaScript, which is off or not
available.</p>
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
<ol id="sorvel-photos">
